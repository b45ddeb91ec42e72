#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

extern "C" {
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_hashtable_t fluid_settings_t;
}

namespace padscope {

// The preset part ("pdta") of a SoundFont rewritten to hold only its drum
// kits (bank 128) and the instruments they use. Sample headers stay as they
// are, so the sample data of the original file still fits. Nothing when the
// data is malformed.
std::optional<std::vector<std::uint8_t>> drumOnlyPresetData(std::span<const std::uint8_t> presetData);

// Lets the synth load SoundFonts by drumKitsOf(path): the file as it is up
// to its preset part, then that part holding only the drum kits. FluidSynth
// then keeps no melodic preset of a General MIDI font in memory (some 10 MB
// for FluidR3). A file whose preset part is not its last chunk does not load
// this way; load it by its own path instead.
void addDrumOnlyLoader(fluid_synth_t* synth, fluid_settings_t* settings);
std::string drumKitsOf(const std::string& path);

}  // namespace padscope
