#pragma once

#include "core/midi/midi_input.h"

#include <memory>
#include <vector>

namespace padscope {

// Presents several inputs as one list of ports, the first input's ports
// first. Only one port of all of them is open at a time.
class ChainedInput final : public MidiInput {
public:
    void append(std::unique_ptr<MidiInput> input) { inputs_.push_back(std::move(input)); }

    std::vector<std::string> portNames() const override;
    void refresh() override;
    bool open(int index, Receive receive) override;
    std::string openFailure() const override { return failedOpen_; }
    void close() override;
    void setThru(bool on) override;
    void deliverPending() override;

private:
    std::vector<std::unique_ptr<MidiInput>> inputs_;
    MidiInput* open_ = nullptr;
    std::string failedOpen_;  // why the last open failed
};

}  // namespace padscope
