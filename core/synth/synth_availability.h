#pragma once

#include "core/synth/sound_fonts.h"

#include <string_view>

namespace padscope {

// The name of the built-in port, as the port list shows it.
inline constexpr std::string_view kBuiltInSynthName = "Padscope GS Synth";

// The SoundFonts the built-in synth would play, when it can play at all: a
// General MIDI SoundFont is installed and an audio output is present. Asks
// nothing of FluidSynth, so the port can be listed before FluidSynth loads.
std::optional<SoundFontSet> builtInSynthFonts(const SoundFontSearch& search = standardSoundFontSearch());
// The same with the fonts the user chose.
std::optional<SoundFontSet> builtInSynthFonts(const SoundFontSet& chosen);

}  // namespace padscope
