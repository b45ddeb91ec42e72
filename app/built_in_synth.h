#pragma once

#include "midi_output.h"
#include "sound_fonts.h"

#include <memory>

namespace padscope {

// The built-in synth's port playing `fonts`, from the module installed
// beside the program; nothing when the module is missing.
std::unique_ptr<MidiOutput> loadBuiltInSynth(const SoundFontSet& fonts);

}  // namespace padscope
