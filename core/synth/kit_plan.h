#pragma once

#include "sound_fonts.h"

#include <array>
#include <optional>
#include <string>

namespace padscope {

struct KitChoice {
    int program = -1;        // bank-128 program whose preset plays; -1: none
    bool own = false;        // the font's own preset of this kit
    std::string presetName;  // that preset's name in the font
};
// Indexed by the kit button's program (0..127).
using KitPlan = std::array<KitChoice, 128>;
// What plays for each kit from `fonts` (later fonts win, as FluidSynth
// stacks them); nothing when none of them can be read.
std::optional<KitPlan> planKits(const SoundFontSet& fonts);

}  // namespace padscope
