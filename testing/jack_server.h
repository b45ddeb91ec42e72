#pragma once

#include <QProcess>

#include <memory>
#include <string>
#include <string_view>

namespace padscope::test {

// ctest's SKIP_RETURN_CODE for test programs that could not start a server.
inline constexpr int kSkipExitCode = 77;

// A busy machine is no fault of the program: a test that cannot start its
// server skips with this text, and main ends with skipAwareExitCode(). A
// test also skips when jackd or jack_midi_dump is not installed.
std::string serverUnavailable(std::string_view what);
// kSkipExitCode when no test failed but some skipped for want of JACK; with
// CI=true in the environment such a skip fails the run instead.
int skipAwareExitCode(int testResult);

// A private JACK server on the dummy backend, for end-to-end tests, started
// by servers.sh as the scripts start theirs. It runs under a unique name, which this process's JACK clients (and the children
// it starts) pick up through JACK_DEFAULT_SERVER. Stopped on destruction
// with SIGTERM (and when this program dies), so that it leaves JACK's shared
// registry of servers (eight places for the whole machine) as it found it.
class JackDummyServer {
public:
    JackDummyServer();
    ~JackDummyServer();
    JackDummyServer(const JackDummyServer&) = delete;
    JackDummyServer& operator=(const JackDummyServer&) = delete;

    static bool installed();
    // Whether this process's libjack is PipeWire's (pw-jack): then start()
    // only waits for the PipeWire daemon, which the caller started, and
    // signal() must not be used.
    static bool underPipeWire();
    // Starts jackd and waits until it accepts clients; false if it never does.
    bool start();
    const std::string& serverName() const { return name_; }
    // Sends the server a signal (SIGKILL, SIGTERM, SIGSTOP, SIGCONT). After
    // SIGKILL the server is started once more under its name at destruction
    // and stopped cleanly, which clears what the killed one left registered.
    void signal(int number);
    // Waits for a server that was told to go to exit.
    void waitForExit();

private:
    bool launch();

    std::string name_;
    std::unique_ptr<QProcess> jackd_;
    bool killed_ = false;
};

// jack_midi_dump as the receiving peer, its output read back as lines.
class MidiDumpPeer {
public:
    explicit MidiDumpPeer(std::string clientName);
    ~MidiDumpPeer();

    static bool installed();
    // Starts the peer and waits until its input port exists.
    bool start();
    // Full JACK name of its input port, as an output port list shows it.
    std::string portName() const { return client_ + ":input"; }
    // Waits until `count` events were printed, or the time is up; returns
    // every event seen so far as its bytes, in order.
    std::vector<std::vector<unsigned char>> waitForEvents(std::size_t count, int timeoutMs);

private:
    std::string client_;
    std::unique_ptr<QProcess> dump_;
    QByteArray output_;
};

}  // namespace padscope::test
