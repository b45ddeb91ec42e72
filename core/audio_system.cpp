#include "audio_system.h"

#include <QByteArray>
#include <QtGlobal>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#if defined(PADSCOPE_WITH_JACK)
#include <jack/jack.h>
#endif
#if defined(PADSCOPE_WITH_ALSA)
#include <alsa/asoundlib.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define PADSCOPE_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PADSCOPE_LSAN 1
#endif
#endif
#if defined(PADSCOPE_LSAN)
#include <sanitizer/lsan_interface.h>
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

// Whether a server listens on the Unix socket at `path`. Never blocks: a
// server that is stopped still has its connection queued by the kernel.
bool socketAnswers(const std::string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode))
        return false;
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool answers = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
                         errno == EAGAIN || errno == EINPROGRESS;
    ::close(fd);
    return answers;
}

// The server that libjack's clients join.
std::string jackServerName()
{
    return qEnvironmentVariableIsEmpty("JACK_DEFAULT_SERVER") ? std::string("default")
                                                               : qgetenv("JACK_DEFAULT_SERVER").toStdString();
}

// Where jackd (JACK 2) accepts its clients on Linux: a server shared by
// several users (JACK_PROMISCUOUS_SERVER) leaves the user out of the name.
// Other JACK implementations have no such socket; their server is then
// trusted to stay.
std::string jackServerSocket(const std::string& server)
{
    if (qEnvironmentVariableIsSet("JACK_PROMISCUOUS_SERVER"))
        return "/dev/shm/jack_" + server + "_0";
    return "/dev/shm/jack_" + server + "_" + std::to_string(::getuid()) + "_0";
}

std::optional<double> askJack()
{
#if defined(PADSCOPE_WITH_JACK)
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

struct JackState {
    std::once_flag found;
    bool listening = false;  // set once, under `found`
    std::string socket;      // the server's socket where it has one; set once, under `found`
    std::once_flag probed;
    std::optional<double> rate;  // set once, under `probed`
    std::atomic<bool> gone{false};
};

// What is known of the named server. The program has one; each new
// server name (a test's private server) gets its own probe. Never
// destroyed: a port's worker may still be letting a JACK client go while
// the process exits.
JackState& jackState()
{
    static std::mutex mutex;
    static auto& states = *new std::map<std::string, std::unique_ptr<JackState>>;
    const std::lock_guard lock(mutex);
    auto& state = states[jackServerName()];
    if (!state)
        state = std::make_unique<JackState>();
    return *state;
}

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

bool runBounded(std::function<void()> task, std::chrono::milliseconds limit)
{
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    try {
        std::thread([task = std::move(task), done] {
            task();
            done->set_value();
        }).detach();
    } catch (const std::system_error&) {
        return false;  // no thread to be had: the task does not run at all
    }
    return finished.wait_for(limit) == std::future_status::ready;
}

namespace {

// Asks the server for its sample rate, once: a client opens and closes.
std::optional<double> probedRate(JackState& state)
{
    std::call_once(state.probed, [&state] {
        auto answer = std::make_shared<std::optional<double>>();
        if (!runBounded([answer] { *answer = askJack(); }, kJackTimeLimit)) {
            qCWarning(lcAudio, "The JACK server did not answer within %lld ms; JACK is not used",
                      static_cast<long long>(kJackTimeLimit.count()));
            state.gone = true;
            return;
        }
        state.rate = *answer;
    });
    return state.rate;
}

bool pathExists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// Looks for the server once. JACK 2 tells by its socket, which costs no
// client; a JACK without that socket (PipeWire's, say) is asked with one.
void findJackServer(JackState& state)
{
    std::call_once(state.found, [&state] {
        const std::string socket = jackServerSocket(jackServerName());
        if (pathExists(socket)) {
            // A socket nobody answers is what a killed server leaves behind.
            if (socketAnswers(socket)) {
                state.socket = socket;
                state.listening = true;
            }
            return;
        }
        // Opening a client runs much of libjack and its metadata database:
        // only worth it where some other JACK may be listening.
        if (otherJackMayListen())
            state.listening = probedRate(state).has_value();
    });
}

}  // namespace

bool otherJackMayListen()
{
#if defined(__linux__)
    // JACK 1 keeps its servers' sockets in a folder of the user's.
    const std::string user = std::to_string(::getuid());
    if (pathExists("/dev/shm/jack-" + user) || pathExists("/tmp/jack-" + user))
        return true;
    // PipeWire's libjack joins the PipeWire daemon on its own socket.
    const QByteArray remote = qgetenv("PIPEWIRE_REMOTE");
    const std::string socket = remote.isEmpty() ? std::string("pipewire-0") : remote.toStdString();
    if (socket.starts_with('/'))
        return pathExists(socket);
    for (const char* folder : {"PIPEWIRE_RUNTIME_DIR", "XDG_RUNTIME_DIR"}) {
        const QByteArray path = qgetenv(folder);
        if (!path.isEmpty() && pathExists(path.toStdString() + '/' + socket))
            return true;
    }
    return pathExists("/run/pipewire/" + socket);
#else
    return true;  // elsewhere no JACK server is found but by asking it
#endif
}

bool jackServerListening()
{
    quietAudioSystem();
    JackState& state = jackState();
    findJackServer(state);
    return state.listening && !jackServerGone();
}

std::optional<double> runningJackSampleRate()
{
    if (!jackServerListening())
        return std::nullopt;
    const std::optional<double> rate = probedRate(jackState());
    if (!rate || jackServerGone())
        return std::nullopt;
    return rate;
}

bool jackIsPipeWire()
{
#if defined(PADSCOPE_WITH_JACK)
    const char* version = jack_get_version_string();
    return version && std::string_view(version).find("PipeWire") != std::string_view::npos;
#else
    return false;
#endif
}

bool jackServerGone()
{
    JackState& state = jackState();
    findJackServer(state);
    if (!state.gone && !state.socket.empty() && !socketAnswers(state.socket)) {
        qCWarning(lcAudio, "The JACK server has gone away");
        state.gone = true;
    }
    return state.gone;
}

void markJackServerHung()
{
    if (!jackState().gone.exchange(true))
        qCWarning(lcAudio, "The JACK server stopped answering; JACK is no longer used");
}

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

void markAbandoned([[maybe_unused]] const void* object)
{
#if defined(PADSCOPE_LSAN)
    if (object)
        __lsan_ignore_object(object);
#endif
}

}  // namespace padscope
