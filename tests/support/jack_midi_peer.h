#pragma once

#include <jack/jack.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace padscope::test {

// A JACK MIDI client in the test's own process, with an input "in" and an
// output "out": what send() is given leaves "out" in the next cycles, up to
// a cycle's worth each, and every event that reaches "in" is kept. It may be
// left inactive, as a peer that has registered its ports but not yet started.
class JackMidiPeer {
public:
    explicit JackMidiPeer(const std::string& name, bool activate = true);
    ~JackMidiPeer();
    JackMidiPeer(const JackMidiPeer&) = delete;
    JackMidiPeer& operator=(const JackMidiPeer&) = delete;

    bool registered() const { return in_ && out_; }
    bool activate();
    std::string input() const { return name_ + ":in"; }
    std::string output() const { return name_ + ":out"; }

    // Each message is one event; `perCycle` limits how many leave in a cycle.
    void send(std::vector<std::vector<std::uint8_t>> messages, std::size_t perCycle = 64);
    // Waits until all that was given to send() has left, or the time is up.
    bool waitUntilSent(std::chrono::milliseconds timeout) const;
    // Waits until `count` events have arrived, or the time is up; returns all so far.
    std::vector<std::vector<std::uint8_t>> waitForEvents(std::size_t count, std::chrono::milliseconds timeout) const;
    // The longest event a cycle of a port carries on this server.
    std::size_t largestEvent() const { return largest_; }

    // True on the peer's own process thread, whatever it does there.
    static bool onPeerThread();

private:
    static int process(jack_nframes_t frames, void* arg);

    std::string name_;
    jack_client_t* client_ = nullptr;
    jack_port_t* in_ = nullptr;
    jack_port_t* out_ = nullptr;
    bool active_ = false;
    mutable std::mutex mutex_;
    std::deque<std::vector<std::uint8_t>> pending_;
    std::size_t perCycle_ = 64;
    std::vector<std::vector<std::uint8_t>> received_;
    std::size_t largest_ = 0;
};

}  // namespace padscope::test
