#pragma once

#include <optional>

namespace padscope {

// Keeps the platform's audio and MIDI libraries (JACK, ALSA) from printing to
// the terminal, and from launching a JACK server of their own. Safe to call
// more than once.
void quietAudioSystem();

// The sample rate of the JACK server that is running, or nothing when none
// runs (or JACK is not available). Never starts a server.
std::optional<double> runningJackSampleRate();

}  // namespace padscope
