#pragma once

#include "core/synth/preset_part.h"
#include "core/synth/sound_fonts.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace padscope {

// What the built-in synth plays for one kit button.
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

// How the synth makes the plan of each font: the base font first, then the
// overlays; nothing for a font it cannot read. A kit button's program is
// made in the font whose kit stands in (or its own), and nowhere else.
std::vector<std::optional<KitLayers>> planLayers(const SoundFontSet& fonts);

// Whether a preset of this name is the kit of that program: its name says
// so, or names no kit at all ("Drums 26").
bool isOwnKit(int program, std::string_view presetName);

}  // namespace padscope
