#include "core/synth/audio_log.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdarg>
#include <cstdio>
#include <mutex>

#if defined(PADSCOPE_WITH_JACK)
#include <jack/jack.h>
#endif
#if defined(PADSCOPE_WITH_ALSA)
#include <alsa/asoundlib.h>
#endif

namespace padscope {

Q_LOGGING_CATEGORY(lcAudio, "padscope.audio", QtWarningMsg)

namespace {

#if defined(PADSCOPE_WITH_JACK)
void logJackMessage(const char* message)
{
    qCDebug(lcAudio, "JACK: %s", message);
}
#endif
#if defined(PADSCOPE_WITH_ALSA)
void logAlsaMessage(const char* file, int line, const char* function, int, const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    qCDebug(lcAudio, "ALSA %s:%d (%s): %s", file, line, function, text);
}
#endif

}  // namespace

void quietAudioSystem()
{
    // Clients that open JACK without options would otherwise start a server.
    // Set only once: other threads may be reading the environment.
    if (qgetenv("JACK_NO_START_SERVER") != "1")
        qputenv("JACK_NO_START_SERVER", "1");
    static std::once_flag once;
    std::call_once(once, [] {
#if defined(PADSCOPE_WITH_JACK)
        jack_set_error_function(logJackMessage);
        jack_set_info_function(logJackMessage);
#endif
#if defined(PADSCOPE_WITH_ALSA)
        snd_lib_error_set_handler(logAlsaMessage);
#endif
    });
}

}  // namespace padscope
