#include "core/synth/audio_output.h"

#include "core/midi/jack_detection.h"
#include "core/platform/unix_socket.h"

#include <QString>
#include <QtGlobal>

#include <string>

#if defined(PADSCOPE_WITH_ALSA)
#include <alsa/asoundlib.h>
#endif

namespace padscope {

bool audioOutputPresent()
{
    if (jackServerListening())
        return true;
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER"))
        return true;
    const std::string runtime = qEnvironmentVariable("XDG_RUNTIME_DIR").toStdString();
    if (!runtime.empty() && (socketAnswers(runtime + "/pulse/native") || socketAnswers(runtime + "/pipewire-0")))
        return true;
#if defined(PADSCOPE_WITH_ALSA)
    int card = -1;
    if (snd_card_next(&card) == 0 && card >= 0)
        return true;
    // No sound card, but the user's ALSA configuration may name another
    // playback device (a null sink, a network sink) as its default.
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) == 0) {
        snd_pcm_close(pcm);
        return true;
    }
#endif
    return false;
}

}  // namespace padscope
