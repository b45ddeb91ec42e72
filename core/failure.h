#pragma once

#include <string>
#include <utility>

namespace padscope {

// What went wrong, for the window to tell the user in its own language and a
// command-line tool in English.
enum class Failure {
    NoPorts,           // the system has no MIDI output port
    PortOpenFailed,    // the chosen port would not open
    SettingsNotSaved,  // subject: the settings file's path
    // The same, and with no per-user folder there was nowhere else to save.
    SettingsNotSavedNoUserFolder,
    InputGone,         // the chosen MIDI input has gone; None is chosen instead
    // A SoundFont the synth was asked to play, and still plays the one it had.
    // subject: the file's path.
    SoundFontMissing,
    SoundFontIsFolder,
    SoundFontNotAFile,       // a FIFO or a device
    SoundFontUnreadable,     // no permission to read it
    SoundFontEmpty,
    SoundFontTruncated,      // shorter than its header says
    SoundFontNotASoundFont,  // another kind of file, or one the synth cannot load
    // A message longer than the port can carry was not sent.
    MessageTooLong,
    // The chosen MIDI input could not be connected.
    InputOpenFailed,
    // The built-in synth cannot play. subject: the sound server it tried.
    AudioJoinRefused,        // a JACK server runs, but the synth may not join it
    AudioServerNotAnswering, // the JACK server stopped answering
    AudioServerUnreachable,  // no PulseAudio or PipeWire server answers
    AudioServerGone,         // the sound server that played has gone, and none took over
    AudioNoDevice,           // no sound server and no ALSA playback device that opens
};

// One failure as it travels to the user: what went wrong, the file or server
// it concerns and the library's own words (English), each empty when there is
// none.
struct FailureReport {
    FailureReport(Failure what, std::string about = {}, std::string why = {})
        : failure(what), subject(std::move(about)), reason(std::move(why))
    {
    }

    Failure failure;
    std::string subject;
    std::string reason;

    friend bool operator==(const FailureReport&, const FailureReport&) = default;
};

// Where core code reports a failure. report() returns at once and never waits
// for the user: the window shows the failure once the call that met it has
// returned; tests record it.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void report(FailureReport failure) = 0;
};

}  // namespace padscope
