#pragma once

#include "core/midi/midi_output.h"
#include "tests/support/packed_words.h"
#include "tests/support/recording_notifier.h"

#include <functional>
#include <mutex>
#include <vector>

namespace padscope {

// A MIDI output whose ports are configured by the caller and which records
// everything that reaches an open port. Used by tests and benchmarks.
// ports() are the ports the system has now; the output lists them as they
// were at construction or at the last refresh(), and like a real one it
// opens a listed port only while the system still has it.
class RecordingOutput final : public MidiOutput {
public:
    struct Port {
        std::string name;
        bool opens = true;
    };
    using Event = PortEvent;

    RecordingOutput() = default;
    explicit RecordingOutput(std::vector<Port> ports) : ports_(ports), listed_(std::move(ports)) {}

    int portCount() const override { return static_cast<int>(listed_.size()); }
    std::string portName(int index) const override;
    void refresh() override;
    bool open(int index) override;
    void close() override;
    void send(std::span<const std::uint8_t> message) override;
    // Kept for the test to call, as a synth's worker would; set from any thread.
    void setAudioFailureHandler(AudioFailureHandler handler) override;
    AudioFailureHandler audioFailureHandler() const;
    // Kept for the test to call, as the output's own thread would.
    void setPortFailureHandler(PortFailureHandler handler) override { portFailureHandler_ = std::move(handler); }
    const PortFailureHandler& portFailureHandler() const { return portFailureHandler_; }

    // Called with each message just before it is recorded.
    std::function<void()> beforeSend;

    std::vector<Port>& ports() { return ports_; }
    const std::vector<Event>& events() const { return events_; }
    void clearEvents() { events_.clear(); }
    // The channel messages recorded so far, in order, each packed().
    std::vector<std::uint32_t> shortWords() const;
    // What reached the ports, as "open 0", "sysex 0", "short 0", "close 0".
    std::vector<std::string> trace() const;
    int openPort() const { return open_; }

private:
    std::vector<Port> ports_;
    std::vector<Port> listed_;
    std::vector<Event> events_;
    int open_ = -1;
    mutable std::mutex handlerMutex_;
    AudioFailureHandler audioFailureHandler_;
    PortFailureHandler portFailureHandler_;
};

}  // namespace padscope
