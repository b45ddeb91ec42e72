#pragma once

#include <QLoggingCategory>

namespace padscope {

// Messages of the audio and MIDI libraries (JACK, ALSA, FluidSynth).
Q_DECLARE_LOGGING_CATEGORY(lcAudio)

// Keeps the platform's audio and MIDI libraries (JACK, ALSA) from printing to
// the terminal (their messages go to lcAudio at debug level), and from
// launching a JACK server of their own. Safe to call more than once.
void quietAudioSystem();

}  // namespace padscope
