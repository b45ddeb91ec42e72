#pragma once

#include "midi_output.h"
#include "recording_notifier.h"

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
    struct Event {
        enum class Kind { Open, Close, Reset, Short, Sysex };
        Kind kind;
        int port;                        // index of the port it went to
        std::uint32_t word = 0;          // Short
        std::vector<std::uint8_t> bytes; // Sysex
    };

    RecordingOutput() = default;
    explicit RecordingOutput(std::vector<Port> ports) : ports_(ports), listed_(std::move(ports)) {}

    int portCount() const override { return static_cast<int>(listed_.size()); }
    std::string portName(int index) const override;
    void refresh() override;
    PortProbe probe(int index) const override;
    bool open(int index) override;
    void close() override;
    void reset() override;
    void sendShort(std::uint32_t word) override;
    void sendSysex(std::span<const std::uint8_t> bytes) override;
    // Kept for the test to call, as a synth's worker would; set from any thread.
    void setAudioFailureHandler(AudioFailureHandler handler) override;
    AudioFailureHandler audioFailureHandler() const;

    std::vector<Port>& ports() { return ports_; }
    const std::vector<Event>& events() const { return events_; }
    void clearEvents() { events_.clear(); }
    // The short messages recorded so far, in order.
    std::vector<std::uint32_t> shortWords() const;
    int openPort() const { return open_; }

private:
    std::vector<Port> ports_;
    std::vector<Port> listed_;
    std::vector<Event> events_;
    int open_ = -1;
    mutable std::mutex handlerMutex_;
    AudioFailureHandler audioFailureHandler_;
};

}  // namespace padscope
