#include "core/midi/rtmidi_api.h"

#include <string_view>

#if defined(__LINUX_ALSA__)
#include <unistd.h>
#endif

namespace padscope {

Q_LOGGING_CATEGORY(lcMidi, "padscope.midi", QtWarningMsg)

void logRtMidiError(RtMidiError::Type, const std::string& text, void*)
{
    qCDebug(lcMidi, "RtMidi: %s", text.c_str());
}

void logRtMidiError(const RtMidiError& error)
{
    qCDebug(lcMidi, "RtMidi: %s", error.getMessage().c_str());
}

bool rtMidiApiAvailable(RtMidi::Api api)
{
    switch (api) {
    case RtMidi::RTMIDI_DUMMY:
        return false;
#if defined(__LINUX_ALSA__)
    case RtMidi::LINUX_ALSA:
        // Without the sequencer device ALSA would complain on stderr.
        return ::access("/dev/snd/seq", R_OK | W_OK) == 0;
#endif
    default:
        return true;
    }
}

std::string stablePortName(std::string name)
{
    // Strip a trailing " <client>:<port>" made of digits.
    const std::size_t blank = name.rfind(' ');
    if (blank == std::string::npos || blank == 0)
        return name;
    const std::string_view address = std::string_view(name).substr(blank + 1);
    const std::size_t colon = address.find(':');
    auto digits = [](std::string_view s) {
        return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (colon == std::string_view::npos || !digits(address.substr(0, colon)) || !digits(address.substr(colon + 1)))
        return name;
    name.resize(blank);
    return name;
}

}  // namespace padscope
