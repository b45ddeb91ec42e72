#include "core/synth/synth_availability.h"

#include "core/synth/audio_output.h"
#include "core/synth/synth_log.h"

namespace padscope {

std::optional<SoundFontSet> builtInSynthFonts(const SoundFontSearch& search)
{
    auto fonts = findSoundFonts(search);
    if (!fonts) {
        qCInfo(lcSynth, "No General MIDI SoundFont: the built-in synth is not listed");
        return std::nullopt;
    }
    return builtInSynthFonts(*fonts);
}

std::optional<SoundFontSet> builtInSynthFonts(const SoundFontSet& chosen)
{
    if (!audioOutputPresent()) {
        qCInfo(lcSynth, "No audio output (JACK, PulseAudio, PipeWire or ALSA): the built-in synth is not listed");
        return std::nullopt;
    }
    return chosen;
}

}  // namespace padscope
