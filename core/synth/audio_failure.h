#pragma once

#include <functional>
#include <string>

namespace padscope {

// The audio outputs the built-in synth tries, in order.
enum class AudioOutputKind { Jack, PulseAudio, PipeWire, Alsa };

// Why a port that makes its own sound (the built-in synth) cannot play.
enum class AudioFault {
    JackRefused,       // a JACK server runs, but the synth may not join it
    JackNotAnswering,  // the JACK server stopped answering
    ServerUnreachable, // no PulseAudio or PipeWire server answers
    ServerGone,        // the sound server that played has gone, and none took over
    NoDevice,          // no sound server and no ALSA playback device that opens
};

// The cause, as met at the first output tried; the library's own words go
// to the log.
struct AudioFailure {
    AudioOutputKind output = AudioOutputKind::Alsa;
    AudioFault fault = AudioFault::NoDevice;
    std::string detail;
};

// Called from any thread, at most once per opening of the port.
using AudioFailureHandler = std::function<void(const AudioFailure&)>;

}  // namespace padscope
