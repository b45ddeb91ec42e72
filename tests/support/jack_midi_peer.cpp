#include "tests/support/jack_midi_peer.h"

#include "testing/jack_server.h"

#include <jack/midiport.h>

#include <thread>

namespace padscope::test {

namespace {
thread_local bool peerThread = false;
}

bool JackMidiPeer::onPeerThread()
{
    return peerThread;
}

JackMidiPeer::JackMidiPeer(const std::string& name, bool activate) : name_(name)
{
    jack_status_t status{};
    client_ = jack_client_open(name_.c_str(), JackNoStartServer, &status);
    if (!client_)
        return;
    in_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    out_ = jack_port_register(client_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_set_process_callback(client_, process, this);
    if (activate)
        this->activate();
}

JackMidiPeer::~JackMidiPeer()
{
    if (client_)
        jack_client_close(client_);
}

bool JackMidiPeer::activate()
{
    active_ = client_ && jack_activate(client_) == 0;
    return active_;
}

int JackMidiPeer::process(jack_nframes_t frames, void* arg)
{
    peerThread = true;
    auto& peer = *static_cast<JackMidiPeer*>(arg);
    void* in = jack_port_get_buffer(peer.in_, frames);
    void* out = jack_port_get_buffer(peer.out_, frames);
    jack_midi_clear_buffer(out);
    const std::lock_guard lock(peer.mutex_);
    // PipeWire's JACK crashes on an event that fills the buffer to the byte.
    static const std::size_t keptFree = JackDummyServer::underPipeWire() ? 1 : 0;
    peer.largest_ = jack_midi_max_event_size(out) - keptFree;
    const jack_nframes_t count = jack_midi_get_event_count(in);
    for (jack_nframes_t i = 0; i < count; ++i) {
        jack_midi_event_t event{};
        if (jack_midi_event_get(&event, in, i) == 0)
            peer.received_.emplace_back(event.buffer, event.buffer + event.size);
    }
    for (std::size_t sent = 0; sent < peer.perCycle_ && !peer.pending_.empty(); ++sent) {
        const auto& message = peer.pending_.front();
        if (jack_midi_event_write(out, 0, message.data(), message.size()) != 0)
            break;
        peer.pending_.pop_front();
    }
    return 0;
}

void JackMidiPeer::send(std::vector<std::vector<std::uint8_t>> messages, std::size_t perCycle)
{
    const std::lock_guard lock(mutex_);
    perCycle_ = perCycle;
    for (auto& message : messages)
        pending_.push_back(std::move(message));
}

bool JackMidiPeer::waitUntilSent(std::chrono::milliseconds timeout) const
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        {
            const std::lock_guard lock(mutex_);
            if (pending_.empty())
                return true;
        }
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::vector<std::vector<std::uint8_t>> JackMidiPeer::waitForEvents(std::size_t count,
                                                                   std::chrono::milliseconds timeout) const
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        {
            const std::lock_guard lock(mutex_);
            if (received_.size() >= count || std::chrono::steady_clock::now() >= end)
                return received_;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace padscope::test
