#pragma once

#include "core/midi/midi_input.h"
#include "core/failure.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace padscope {

// The one MIDI input port the program watches, or none: opening the
// remembered one at start-up, choosing another from the list, noticing when
// it has gone, closing.
class InputSession {
public:
    // `receive` gets every message of the open port, on the input's thread;
    // `closed` is called whenever a port is closed, also one that has gone.
    InputSession(MidiInput& input, Notifier& notifier, MidiInput::Receive receive,
                 std::function<void()> closed = {});

    // Lists the ports and opens the one of that name; for an empty name
    // nothing is listed or opened. A port that is not there any more leaves
    // none and says so.
    void openRemembered(const std::string& name);
    // Lists the ports again. When the open port is no longer listed it is
    // closed, none is left and the user is told once.
    void refreshPorts();
    const std::vector<std::string>& portNames() const { return names_; }
    // Where the open port stands in the list; -1 for none.
    int openPortIndex() const;
    // Opens the port at `index` of the list; none for -1.
    void choose(int index);
    void close();
    // Whether the input passes what arrives straight on, where it can.
    void setThru(bool on) { input_.setThru(on); }
    // The open port's name, empty for none.
    const std::string& portName() const { return open_; }

private:
    // `reason`: the library's words, where it gave any.
    void lost(std::string reason);

    MidiInput& input_;
    Notifier& notifier_;
    MidiInput::Receive receive_;
    std::function<void()> closed_;
    std::vector<std::string> names_;
    std::string open_;
};

}  // namespace padscope
