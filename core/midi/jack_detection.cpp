#include "core/midi/jack_detection.h"

#include "core/synth/audio_log.h"
#include "core/platform/bounded_call.h"
#include "core/platform/unix_socket.h"

#include <QByteArray>
#include <QtGlobal>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

#if defined(PADSCOPE_WITH_JACK)
#include <jack/jack.h>
#endif

namespace padscope {

namespace {

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
    std::mutex toldMutex;
    std::shared_future<std::optional<double>> told;  // the MIDI client's rate, under `toldMutex`
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

// Asks the server for its sample rate, once: a client opens and closes.
std::optional<double> probedRate(JackState& state)
{
    std::call_once(state.probed, [&state] {
        std::shared_future<std::optional<double>> told;
        {
            const std::lock_guard lock(state.toldMutex);
            told = state.told;
        }
        if (told.valid() && told.wait_for(kJackTimeLimit) == std::future_status::ready && told.get()) {
            state.rate = told.get();
            return;
        }
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

bool jackServerMayListen()
{
    quietAudioSystem();
    const std::string socket = jackServerSocket(jackServerName());
    if (pathExists(socket))
        return socketAnswers(socket);
    return otherJackMayListen();
}

void takeJackSampleRateFrom(std::shared_future<std::optional<double>> rate)
{
    JackState& state = jackState();
    const std::lock_guard lock(state.toldMutex);
    state.told = std::move(rate);
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

namespace {

class ProcessJackServer final : public JackServer {
public:
    void quiet() override { quietAudioSystem(); }
    bool listening() override { return jackServerListening(); }
    std::optional<double> sampleRate() override { return runningJackSampleRate(); }
    bool isPipeWire() override { return jackIsPipeWire(); }
    bool gone() override { return jackServerGone(); }
    void markHung() override { markJackServerHung(); }
};

}  // namespace

JackServer& processJackServer()
{
    // Never destroyed: a synth worker or a bounded call left running at
    // exit may still ask it.
    static auto& server = *new ProcessJackServer;
    return server;
}

}  // namespace padscope
