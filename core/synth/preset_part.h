#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Reading a SoundFont's preset part ("pdta"): its presets, instruments and
// their zones, as far as the drum kits need them.
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

inline constexpr unsigned kDrumBank = 128;
inline constexpr std::uint16_t kKeyRangeGenerator = 43, kVelocityRangeGenerator = 44, kInstrumentGenerator = 41,
                               kSampleGenerator = 53;
// Record sizes of the preset part's sub-chunks.
inline constexpr std::size_t kPresetSize = 38, kBagSize = 4, kModulatorSize = 10, kGeneratorSize = 4,
                             kInstrumentSize = 22, kSampleSize = 46;
// Where a preset header keeps its program and bank.
inline constexpr std::size_t kPresetProgramAt = 20, kPresetBankAt = 22;

inline unsigned read16(const std::uint8_t* p) { return p[0] | p[1] << 8; }
inline std::uint32_t read32(const std::uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

struct Records {
    std::span<const std::uint8_t> bytes;
    std::size_t size;
    std::size_t count() const { return bytes.size() / size; }
    const std::uint8_t* at(std::size_t i) const { return bytes.data() + i * size; }
};

// A list of presets or of instruments as the file holds it: the records,
// each with its zones (bags) and their generators and modulators. The last
// record of each is the terminal one.
struct RecordList {
    Records records;
    std::size_t bagIndexAt;  // where a record keeps the index of its first bag
    Records bags, generators, modulators;
};

struct PresetLists {
    RecordList presets, instruments;
    Records samples;
};

// Every index in a preset part is 16 bits wide, so none of its nine lists
// holds more than 65,536 records and their terminal one; a larger part (some
// 9 MB) is damaged, whatever its header claims.
inline constexpr std::uint64_t kLargestPresetData =
    (0x10000 + 1) * (kPresetSize + 2 * (kBagSize + kModulatorSize + kGeneratorSize) + kInstrumentSize + kSampleSize)
    + 9 * 8;

// The lists of a preset part; nothing when one of its nine sub-chunks is
// missing or overruns it, or a list lacks its terminal record.
std::optional<PresetLists> presetLists(std::span<const std::uint8_t> presetData);

// Whether FluidSynth would load a preset part: its nine sub-chunks in order,
// each a whole number of records, every index within its list and rising.
bool wellFormedPresetData(std::span<const std::uint8_t> presetData);

// One zone of a preset or an instrument.
struct Zone {
    std::size_t firstGenerator = 0, endGenerator = 0, firstModulator = 0, endModulator = 0;
    unsigned lowKey = 0, highKey = 127;
    std::optional<unsigned> link;  // the instrument of a preset zone, the sample of an instrument zone
    bool global() const { return !link; }
};

// The zones of record `i` (not the terminal one) of a list, `linkGenerator`
// naming what a zone plays; nothing when they overrun the list.
std::optional<std::vector<Zone>> zonesOf(const RecordList& list, std::size_t i, std::uint16_t linkGenerator);

// The keys low to high.
KeySet keyRun(unsigned low, unsigned high);

// The keys that instrument `i` plays a sample on.
std::optional<KeySet> instrumentKeys(const PresetLists& lists, unsigned i);

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
