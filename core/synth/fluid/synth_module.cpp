// The built-in synth as a module of its own, which the program loads on its
// port's worker thread when the port first opens: linked into the program,
// FluidSynth and the forty-odd libraries it brings would all be loaded
// before the window could start to build.
#include "core/synth/fluid/fluid_synth_output.h"
#include "core/synth/preset_part_cache.h"

#include <QtGlobal>

// The program has already found the SoundFonts and an audio output. It hands
// over what it knows of the JACK server and the preset parts it has read:
// the module keeps no copy of its own.
extern "C" Q_DECL_EXPORT padscope::SynthEngine* padscopeMakeSynthEngine(const padscope::SoundFontSet* fonts,
                                                                       padscope::JackServer* jack,
                                                                       padscope::PresetPartCache* parts)
{
    padscope::sharePresetParts(*parts);
    return std::make_unique<padscope::FluidSynthEngine>(*fonts, padscope::SynthOptions{}, *jack).release();
}
