#pragma once

#include "core/midi/midi_output.h"

#include <QString>

class QWidget;

namespace padscope {

// What the user reads when the built-in synth cannot play, in the
// interface's language.
QString audioFailureText(const AudioFailure& failure);

// Shows each audio failure that `output` reports, from whatever thread, in a
// message box over `window`, for as long as it lives.
class AudioFailureReporter {
public:
    AudioFailureReporter(MidiOutput& output, QWidget& window);
    ~AudioFailureReporter();
    AudioFailureReporter(const AudioFailureReporter&) = delete;
    AudioFailureReporter& operator=(const AudioFailureReporter&) = delete;

private:
    MidiOutput& output_;
};

}  // namespace padscope
