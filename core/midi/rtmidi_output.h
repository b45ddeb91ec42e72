#pragma once

#include "core/midi/midi_output.h"

#include <functional>
#include <memory>
#include <vector>

class RtMidiOut;

namespace padscope {

// The platform's MIDI output ports through RtMidi: every port of every API
// RtMidi was built with but JACK, which has a client of the program's own
// (ALSA sequencer on Linux, WinMM on Windows, CoreMIDI on macOS), listed at
// construction and at each refresh() in a stable order. An API that cannot
// start adds no ports and prints nothing.
class RtMidiOutput final : public MidiOutput {
public:
    explicit RtMidiOutput(std::string clientName = "Padscope");
    ~RtMidiOutput() override;

    int portCount() const override { return static_cast<int>(ports_.size()); }
    std::string portName(int index) const override;
    std::string portKey(int index) const override;
    void refresh() override;
    bool open(int index) override;
    std::string openFailure() const override { return failedOpen_; }
    void close() override;
    void send(std::span<const std::uint8_t> message) override;

private:
    // A port is known by its API and its full name, never by a bare index:
    // the API's own numbering shifts as ports come and go.
    struct Port {
        std::size_t api;       // index into apis_
        std::string fullName;  // as RtMidi lists it
        std::string productName;
        std::string key;       // the API's number and the full name
    };

    // Runs `task` on the API's object; for JACK within a time limit, and not
    // at all once the server has gone. False when the task did not finish.
    static bool call(RtMidiOut& api, const std::function<void(RtMidiOut&)>& task);
    bool listed(int index) const { return index >= 0 && index < portCount(); }
    // Adds the ports of apis_[api] to the list; false when it has none or
    // did not answer.
    bool listPorts(std::size_t api);
    std::string clientName_;
    std::vector<std::unique_ptr<RtMidiOut>> apis_;
    std::vector<Port> ports_;
    RtMidiOut* open_ = nullptr;
    std::string failedOpen_;  // RtMidi's words when the last open failed
};

// The name a port is shown and remembered by. The ALSA sequencer appends the
// port's address ("20:0"), which changes when devices are plugged in another
// order; without it a module keeps its name from one run to the next.
std::string stablePortName(std::string rtMidiName);

}  // namespace padscope
