#pragma once

extern "C" {
typedef struct _fluid_synth_t fluid_synth_t;
}

namespace padscope {

// Puts on top of the synth's SoundFonts one that answers every melodic bank
// with a preset that plays nothing. The fifteen melodic channels, which the
// program never plays, then select it at every reset instead of the piano,
// and dynamic sample loading loads only the rhythm channel's kit. Selects
// the channels' presets anew. False when FluidSynth refused the font.
bool addSilentMelodicFont(fluid_synth_t* synth);

}  // namespace padscope
