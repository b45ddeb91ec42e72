#pragma once

#include "jack_detection.h"
#include "midi_output.h"
#include "sound_fonts.h"

#include <QStringList>

#include <memory>

namespace padscope {

// The built-in synth's port playing `fonts`, from the module installed
// beside the program; nothing when the module is missing.
std::unique_ptr<MidiOutput> loadBuiltInSynth(const SoundFontSet& fonts);
// The same from the first of `folders` whose module loads; a module that
// cannot be loaded safely is passed over, and the log says why. The module
// asks `jack` what is known of the JACK server.
std::unique_ptr<MidiOutput> loadBuiltInSynth(const SoundFontSet& fonts, const QStringList& folders,
                                             JackServer& jack = processJackServer());

}  // namespace padscope
