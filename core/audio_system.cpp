#include "audio_system.h"

#include <QByteArray>
#include <QtGlobal>

#include <mutex>

#if defined(PADSCOPE_WITH_JACK)
#include <jack/jack.h>
#endif
#if defined(PADSCOPE_WITH_ALSA)
#include <alsa/asoundlib.h>
#endif

namespace padscope {

namespace {

#if defined(PADSCOPE_WITH_JACK)
void discardJackMessage(const char*) {}
#endif
#if defined(PADSCOPE_WITH_ALSA)
void discardAlsaMessage(const char*, int, const char*, int, const char*, ...) {}
#endif

}  // namespace

void quietAudioSystem()
{
    // Clients that open JACK without options would otherwise start a server.
    qputenv("JACK_NO_START_SERVER", "1");
    static std::once_flag once;
    std::call_once(once, [] {
#if defined(PADSCOPE_WITH_JACK)
        jack_set_error_function(discardJackMessage);
        jack_set_info_function(discardJackMessage);
#endif
#if defined(PADSCOPE_WITH_ALSA)
        snd_lib_error_set_handler(discardAlsaMessage);
#endif
    });
}

std::optional<double> runningJackSampleRate()
{
#if defined(PADSCOPE_WITH_JACK)
    quietAudioSystem();
    jack_status_t status{};
    jack_client_t* client = jack_client_open("padscope-probe", JackNoStartServer, &status);
    if (!client)
        return std::nullopt;
    const double rate = jack_get_sample_rate(client);
    jack_client_close(client);
    return rate;
#else
    return std::nullopt;
#endif
}

}  // namespace padscope
