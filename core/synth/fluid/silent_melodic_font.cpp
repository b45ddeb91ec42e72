#include "core/synth/fluid/silent_melodic_font.h"

#include <fluidsynth.h>

namespace padscope {

namespace {

constexpr int kDrumBank = 128;

const char* fontName(fluid_sfont_t*) { return "Padscope silence"; }
const char* presetName(fluid_preset_t*) { return "Silence"; }
int presetBank(fluid_preset_t*) { return 0; }
int presetNumber(fluid_preset_t*) { return 0; }
int playNothing(fluid_preset_t*, fluid_synth_t*, int, int, int) { return FLUID_OK; }
void keepPreset(fluid_preset_t*) {}  // the font frees its one preset

fluid_preset_t* findPreset(fluid_sfont_t* font, int bank, int)
{
    return bank == kDrumBank ? nullptr : static_cast<fluid_preset_t*>(fluid_sfont_get_data(font));
}

void startIteration(fluid_sfont_t*) {}
// Lists no preset: the font offers nothing of its own to choose.
fluid_preset_t* nextPreset(fluid_sfont_t*) { return nullptr; }

int freeFont(fluid_sfont_t* font)
{
    delete_fluid_preset(static_cast<fluid_preset_t*>(fluid_sfont_get_data(font)));
    delete_fluid_sfont(font);
    return 0;
}

}  // namespace

bool addSilentMelodicFont(fluid_synth_t* synth)
{
    fluid_sfont_t* font = new_fluid_sfont(fontName, findPreset, startIteration, nextPreset, freeFont);
    if (!font)
        return false;
    fluid_preset_t* preset = new_fluid_preset(font, presetName, presetBank, presetNumber, playNothing, keepPreset);
    if (!preset) {
        delete_fluid_sfont(font);
        return false;
    }
    fluid_sfont_set_data(font, preset);
    if (fluid_synth_add_sfont(synth, font) == FLUID_FAILED) {
        freeFont(font);
        return false;
    }
    return fluid_synth_program_reset(synth) == FLUID_OK;
}

}  // namespace padscope
