#pragma once

#include "midi_output.h"

#include <memory>

namespace padscope {

// The built-in synth's port, from the module installed beside the program;
// nothing when the module is missing or finds no SoundFont or audio output.
std::unique_ptr<MidiOutput> loadBuiltInSynth();

}  // namespace padscope
