#pragma once

#include <string_view>

namespace padscope {

// What went wrong, for the window to tell the user in its own language.
enum class Failure {
    NoPorts,           // the system has no MIDI output port
    PortOpenFailed,    // the chosen port would not open
    SettingsNotSaved,  // detail: the settings file's path
    // The same, and with no per-user folder there was nowhere else to save.
    SettingsNotSavedNoUserFolder,
    InputGone,         // the chosen MIDI input has gone; None is chosen instead
    // A SoundFont the synth was asked to play, and still plays the one it had.
    // detail: the file's path.
    SoundFontMissing,
    SoundFontIsFolder,
    SoundFontNotAFile,       // a FIFO or a device
    SoundFontUnreadable,     // no permission to read it
    SoundFontEmpty,
    SoundFontTruncated,      // shorter than its header says
    SoundFontNotASoundFont,  // another kind of file, or one the synth cannot load
    // A message longer than the port can carry was not sent. detail: why.
    MessageTooLong,
    // The chosen MIDI input could not be connected. detail: why.
    InputOpenFailed,
};

// Tells the user of a failure. The program's window shows a modal message
// box; tests record the failures instead.
class Notifier {
public:
    virtual ~Notifier() = default;
    // `detail` is what the message names besides the failure, such as a
    // file's path; empty when there is none.
    virtual void notify(Failure failure, std::string_view detail) = 0;
};

}  // namespace padscope
