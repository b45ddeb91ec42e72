#pragma once

#include "core/midi/midi_input.h"

#include <memory>
#include <mutex>

class RtMidiIn;

namespace padscope {

// The platform's MIDI input ports through RtMidi's input side: the ports of
// the ALSA sequencer (JACK has a client of the program's own); the program's
// own ports are left out, so that nothing it sends comes back in.
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
    struct Port {
        std::size_t api;  // index into apis_
        std::string fullName;
        std::string shownName;
    };
    struct Delivery {
        std::mutex mutex;
        Receive receive;
    };

    static void deliver(double, std::vector<unsigned char>* message, void* delivery);
    bool listPorts(std::size_t api);

    std::string clientName_;
    std::vector<std::unique_ptr<RtMidiIn>> apis_;
    std::vector<Port> ports_;
    RtMidiIn* open_ = nullptr;
    std::string failedOpen_;  // RtMidi's words when the last open failed
    // What RtMidi's thread calls into; kept for good when a JACK client had
    // to be given up with it.
    std::shared_ptr<Delivery> delivery_ = std::make_shared<Delivery>();
};

}  // namespace padscope
