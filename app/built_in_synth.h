#pragma once

#include "core/midi/jack_detection.h"
#include "core/synth/synth_port.h"
#include "core/synth/sound_fonts.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace padscope {

// The built-in synth's port; its engine is loaded from the module installed
// beside the program when the port first opens, and plays the fonts chosen
// through the port, else those `fonts` gives at that time.
std::unique_ptr<SynthPort> builtInSynthPort(std::function<SoundFontSet()> fonts);
// The built-in synth's engine playing `fonts`, from the module installed
// beside the program; nothing when the module is missing.
std::unique_ptr<SynthEngine> loadBuiltInSynth(const SoundFontSet& fonts);
// The same from the first of `folders` whose module loads; a module that
// cannot be loaded safely is passed over, and the log says why. The module
// asks `jack` what is known of the JACK server.
std::unique_ptr<SynthEngine> loadBuiltInSynth(const SoundFontSet& fonts, const QStringList& folders,
                                              JackServer& jack = processJackServer());

}  // namespace padscope
