#pragma once

#include "core/midi/midi_output.h"

#include <memory>
#include <string>

class RtMidiOut;

namespace padscope {

template <typename Side>
class RtMidiPorts;

// The platform's MIDI output ports through RtMidi (see RtMidiPorts), listed
// at construction and at each refresh() in a stable order.
class RtMidiOutput final : public MidiOutput {
public:
    explicit RtMidiOutput(std::string clientName = "Padscope");
    ~RtMidiOutput() override;

    int portCount() const override;
    std::string portName(int index) const override;
    std::string portKey(int index) const override;
    void refresh() override;
    bool open(int index) override;
    std::string openFailure() const override { return failedOpen_; }
    void close() override;
    void send(std::span<const std::uint8_t> message) override;

private:
    std::unique_ptr<RtMidiPorts<RtMidiOut>> ports_;
    std::string failedOpen_;  // RtMidi's words when the last open failed
};

}  // namespace padscope
