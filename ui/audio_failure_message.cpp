#include "ui/audio_failure_message.h"

namespace padscope {

AudioFailureReporter::AudioFailureReporter(MidiOutput& output, Notifier& notifier) : output_(output)
{
    output_.setAudioFailureHandler(
        [&notifier](const AudioFailure& failure) { notifier.report(failureReport(failure)); });
}

AudioFailureReporter::~AudioFailureReporter()
{
    output_.setAudioFailureHandler({});
}

}  // namespace padscope
