// Apart from the synth itself, so that the synth module, which is handed the
// program's JACK state, links none of its own.
#include "core/synth/fluid/make_built_in_synth.h"

namespace padscope {

std::unique_ptr<MidiOutput> makeBuiltInSynth(const SoundFontSearch& search, SynthOptions options)
{
    auto fonts = options.audio == SynthAudio::Device ? builtInSynthFonts(search) : findSoundFonts(search);
    if (!fonts)
        return nullptr;
    return std::make_unique<FluidSynthOutput>(std::move(*fonts), options);
}

}  // namespace padscope
