#pragma once

#include <QProcess>

#include <memory>
#include <string>

namespace padscope::test {

// A private JACK server on the dummy backend, for end-to-end tests. It runs
// under a unique name, which this process's JACK clients (and the children
// it starts) pick up through JACK_DEFAULT_SERVER. Stopped on destruction.
class JackDummyServer {
public:
    JackDummyServer();
    ~JackDummyServer();
    JackDummyServer(const JackDummyServer&) = delete;
    JackDummyServer& operator=(const JackDummyServer&) = delete;

    static bool installed();
    // Starts jackd and waits until it accepts clients; false if it never does.
    bool start();
    const std::string& serverName() const { return name_; }

private:
    bool launch();

    std::string name_;
    std::unique_ptr<QProcess> jackd_;
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
