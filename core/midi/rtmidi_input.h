#pragma once

#include "core/midi/midi_input.h"

#include <memory>
#include <mutex>

class RtMidiIn;

namespace padscope {

template <typename Side>
class RtMidiPorts;

// The platform's MIDI input ports through RtMidi (see RtMidiPorts); the
// program's own ports are left out, so that nothing it sends comes back in.
class RtMidiInput final : public MidiInput {
public:
    explicit RtMidiInput(std::string clientName = "Padscope");
    ~RtMidiInput() override;

    std::vector<std::string> portNames() const override;
    void refresh() override;
    bool open(int index, Receive receive) override;
    std::string openFailure() const override { return failedOpen_; }
    void close() override;

private:
    struct Delivery {
        std::mutex mutex;
        Receive receive;
    };

    static void deliver(double, std::vector<unsigned char>* message, void* delivery);

    // What RtMidi's thread calls into; it outlives the ports.
    std::unique_ptr<Delivery> delivery_ = std::make_unique<Delivery>();
    std::unique_ptr<RtMidiPorts<RtMidiIn>> ports_;
    std::string failedOpen_;  // RtMidi's words when the last open failed
};

}  // namespace padscope
