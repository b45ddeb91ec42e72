#pragma once

#include "core/midi/midi_output.h"

#include <string>
#include <utility>

namespace padscope {

// A backend of one port, always there under the same name.
class SinglePortOutput : public MidiOutput {
public:
    explicit SinglePortOutput(std::string portName) : portName_(std::move(portName)) {}

    int portCount() const final { return 1; }
    std::string portName(int index) const final { return index == 0 ? portName_ : std::string(); }

private:
    const std::string portName_;
};

}  // namespace padscope
