#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Reading a SoundFont's preset part ("pdta") for the drum kits it holds.
namespace padscope {

// Drum kits by program number: the presets of bank 128.
using KitSet = std::bitset<128>;
// What each program of a drum-only rewrite plays: kits of the same file,
// the first one whole, each next one on the keys those before it leave
// silent. Empty where the program is left out.
using KitLayers = std::array<std::vector<int>, 128>;
// Each kit in `kits` as the file has it.
KitLayers eachAsItIs(const KitSet& kits);
// The programs that `layers` makes.
KitSet kitsIn(const KitLayers& layers);

// MIDI notes, the keys a kit plays.
using KeySet = std::bitset<128>;

// The largest preset part the format can index (some 9 MB): a larger one
// is damaged, whatever its header claims.
extern const std::uint64_t kLargestPresetData;

// Whether FluidSynth would load a preset part: its nine sub-chunks in order,
// each a whole number of records, every index within its list and rising.
bool wellFormedPresetData(std::span<const std::uint8_t> presetData);

// A drum kit of a SoundFont.
struct DrumPreset {
    int program = 0;
    std::string name;
    KeySet keys;  // the keys it plays a sample on
};

// The drum kits (bank 128) of a preset part, in the file's order; nothing
// when it cannot be read.
std::optional<std::vector<DrumPreset>> drumPresets(std::span<const std::uint8_t> presetData);

// The programs of the presets in a preset part, whatever their banks (a
// drum-only part has bank 128 alone); nothing when it has no preset list.
std::optional<KitSet> presetPrograms(std::span<const std::uint8_t> presetData);

// A SoundFont's preset part: where its LIST chunk starts, and what it holds
// after its "pdta" id.
struct PresetPart {
    std::uint64_t offset = 0;
    std::vector<std::uint8_t> data;
};

// The preset part of the SoundFont `file`, when it is the file's last chunk,
// lies within the file and is no larger than the format can index; nothing
// otherwise, and then nothing is read into memory.
std::optional<PresetPart> lastPresetPart(std::istream& file);

}  // namespace padscope
