#pragma once

#include "core/synth/fluid/drum_sound_generators.h"
#include "core/synth/preset_part.h"

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
// kits (bank 128) of the programs in `kits`, the instruments they use and
// the sample headers those play, with their stereo partners. The headers
// keep their offsets, so the sample data of the original file still fits.
// Nothing when the data is malformed.
std::optional<std::vector<std::uint8_t>> drumOnlyPresetData(std::span<const std::uint8_t> presetData,
                                                            const KitSet& kits = KitSet().set());
// The same with kits made of the file's kits as `layers` says: a program
// whose first kit the file lacks is left out.
std::optional<std::vector<std::uint8_t>> drumOnlyPresetData(std::span<const std::uint8_t> presetData,
                                                            const KitLayers& layers);

// Lets the synth load SoundFonts by drumKitsOf(path, kits): the file as it
// is up to its preset part, then that part holding only those drum kits.
// FluidSynth then keeps no melodic preset of a General MIDI font in memory
// (some 10 MB for FluidR3), and no kit it is not asked for (2 MB more). A
// file whose preset part is not its last chunk does not load this way; load
// it by its own path instead.
void addDrumOnlyLoader(fluid_synth_t* synth, fluid_settings_t* settings);
std::string drumKitsOf(const std::string& path, const KitSet& kits = KitSet().set());
std::string drumKitsOf(const std::string& path, const KitLayers& layers);
// The same for the kits in `wanted` alone, with each note's zones shaped
// by its edits in `sounds`.
std::string drumKitsOf(const std::string& path, const KitLayers& layers, const KitSet& wanted,
                       const DrumSounds& sounds = {});
// The same name made one synth's own. FluidSynth (2.3) shares the samples
// it reads between all the synths of a process, by file name, and takes a
// shared sample outside its lock: one synth letting go of it as another
// takes it frees it under the other, as a port opens again while its last
// opening is torn down. `synth` sets synths apart; a name not made by
// drumKitsOf() comes back as it is.
std::string synthsOwn(const std::string& name, unsigned synth);
// The kits such a file holds; nothing when it cannot be loaded that way.
std::optional<KitSet> drumKitsIn(const std::string& path);

}  // namespace padscope
