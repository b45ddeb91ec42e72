#pragma once

namespace padscope {

// Whether an audio output can be opened at all: a JACK server answering, a
// PulseAudio or PipeWire server's socket, or an ALSA playback device.
bool audioOutputPresent();

}  // namespace padscope
