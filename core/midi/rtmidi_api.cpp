#include "core/midi/rtmidi_api.h"

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
#if defined(__UNIX_JACK__)
    case RtMidi::UNIX_JACK:
        // RtMidi warns on stderr when no server runs, and would wait forever
        // for a stopped one, so ask JACK first.
        return jackServerListening();
#endif
    default:
        return true;
    }
}

}  // namespace padscope
