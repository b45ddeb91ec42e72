#pragma once

#include "core/midi/midi_output.h"
#include "core/failure.h"

#include <chrono>
#include <functional>
#include <atomic>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

namespace padscope {

// The one MIDI output port the program drives: choosing it at start-up,
// resetting the module after every open, moving to the next port or to one
// picked from the list, listing the ports again, closing.
class PortSession {
public:
    using Sleep = std::function<void(std::chrono::milliseconds)>;

    static constexpr std::chrono::milliseconds kStartupResetWait{100};
    static constexpr std::chrono::milliseconds kPortChangeResetWait{200};

    PortSession(MidiOutput& output, Notifier& notifier, Sleep sleep);

    // Counts the ports at start; tells the user when there are none. The
    // count holds until refreshPorts().
    void countPorts();
    // Opens the remembered port if it still carries the remembered name,
    // port 0 otherwise, resetting the module after each open.
    void openRemembered(int savedIndex, const std::string& savedName);
    // Moves to the next port, wrapping to the first.
    void changePort();
    // Lists the ports again as they are now. The current port keeps its place
    // in the new list; one that has gone keeps its number.
    void refreshPorts();
    // Moves to the port at `index` of the current list: close, open, reset
    // the port, GS Reset and the port change's wait, then the name.
    void choosePort(int index);
    // The product names of the current list.
    std::vector<std::string> portNames() const;
    // Where the open port stands in the current list; -1 when none is open
    // or the open one has gone from the list.
    int openPortIndex() const;
    // Closes the port without resetting it.
    void close();
    // Sends one message to the open port; dropped while none is open. Also
    // called from an input's thread (Thru): one send at a time.
    void send(std::span<const std::uint8_t> message);
    // What is sent from beginUnit() to endUnit() on this thread belongs
    // together (a press): nothing from another thread comes between, and
    // where the port has cycles it leaves in one.
    void beginUnit();
    void endUnit();
    void sendUnit(std::span<const MidiMessage> messages);
    // A port that failed after it opened is as good as not open: the user is
    // told why, and its name is neither shown nor remembered.
    void checkLateFailure();

    int portCount() const { return portCount_; }
    int portIndex() const { return portIndex_; }
    const std::string& portName() const { return portName_; }

private:
    void openCurrent();
    void allNotesOff();
    void resetStep(std::chrono::milliseconds wait);
    void nameStep();

    MidiOutput& output_;
    std::mutex outputMutex_;  // the output is also sent to from an input's thread
    std::atomic<std::thread::id> unitOwner_{};  // the thread within a unit, which holds the mutex
    Notifier& notifier_;
    Sleep sleep_;
    int portCount_ = 0;
    int portIndex_ = 0;
    bool isOpen_ = false;
    std::string portName_;
    std::string portKey_;  // the key of the port at portIndex_ when it was last opened
};

}  // namespace padscope
