#pragma once

#include "core/synth/fluid/fluid_synth_output.h"

#include <memory>

namespace padscope {

// The built-in synth port, or nullptr when no usable SoundFont is found or,
// for device audio, the machine has no audio output at all (then the port is
// not listed).
std::unique_ptr<MidiOutput> makeBuiltInSynth(const SoundFontSearch& search = standardSoundFontSearch(),
                                             SynthOptions options = {});

}  // namespace padscope
