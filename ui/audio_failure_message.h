#pragma once

#include "core/midi/midi_output.h"

namespace padscope {

// Passes each audio failure that `output` reports, from whatever thread, to
// `notifier`, for as long as it lives.
class AudioFailureReporter {
public:
    AudioFailureReporter(MidiOutput& output, Notifier& notifier);
    ~AudioFailureReporter();
    AudioFailureReporter(const AudioFailureReporter&) = delete;
    AudioFailureReporter& operator=(const AudioFailureReporter&) = delete;

private:
    MidiOutput& output_;
};

}  // namespace padscope
