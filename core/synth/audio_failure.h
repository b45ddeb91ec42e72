#pragma once

#include "core/failure.h"

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

// The cause, as met at the first output tried, with the library's own words.
struct AudioFailure {
    AudioOutputKind output = AudioOutputKind::Alsa;
    AudioFault fault = AudioFault::NoDevice;
    std::string detail;
};

// The same failure as every other one reaches the user.
inline FailureReport failureReport(const AudioFailure& audio)
{
    constexpr const char* servers[] = {"JACK", "PulseAudio", "PipeWire", "ALSA"};
    auto what = [fault = audio.fault] {
        switch (fault) {
        case AudioFault::JackRefused: return Failure::AudioJoinRefused;
        case AudioFault::JackNotAnswering: return Failure::AudioServerNotAnswering;
        case AudioFault::ServerUnreachable: return Failure::AudioServerUnreachable;
        case AudioFault::ServerGone: return Failure::AudioServerGone;
        case AudioFault::NoDevice: break;
        }
        return Failure::AudioNoDevice;
    };
    return {what(), servers[static_cast<int>(audio.output)], audio.detail};
}

// Called from any thread, at most once per opening of the port.
using AudioFailureHandler = std::function<void(const AudioFailure&)>;

}  // namespace padscope
