#pragma once

#include "midi_output.h"
#include "notifier.h"

#include <chrono>
#include <functional>
#include <string>

namespace padscope {

// The one MIDI output port the program drives: choosing it at start-up,
// resetting the module after every open, moving to the next port, closing.
class PortSession {
public:
    using Sleep = std::function<void(std::chrono::milliseconds)>;

    static constexpr std::chrono::milliseconds kStartupResetWait{100};
    static constexpr std::chrono::milliseconds kPortChangeResetWait{200};

    PortSession(MidiOutput& output, Notifier& notifier, Sleep sleep);

    // Counts the ports once for the whole run; tells the user when there are none.
    void countPorts();
    // Opens the remembered port if it still carries the remembered name,
    // port 0 otherwise, resetting the module after each open.
    void openRemembered(int savedIndex, const std::string& savedName);
    // Moves to the next port, wrapping to the first.
    void changePort();
    // Closes the port without resetting it.
    void close();

    int deviceCount() const { return deviceCount_; }
    int deviceIndex() const { return deviceIndex_; }
    const std::string& deviceName() const { return deviceName_; }
    MidiOutput& output() { return output_; }

private:
    void openCurrent();
    void resetStep(std::chrono::milliseconds wait);
    void nameStep();

    MidiOutput& output_;
    Notifier& notifier_;
    Sleep sleep_;
    int deviceCount_ = 0;
    int deviceIndex_ = 0;
    bool isOpen_ = false;
    std::string deviceName_;
};

}  // namespace padscope
