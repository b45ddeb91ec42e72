#pragma once

#include "core/synth/preset_part.h"
#include "core/synth/sound_fonts.h"

#include <optional>
#include <string>
#include <vector>

namespace padscope {

// One font of the synth's set as it loads it: the kits it plays, each made
// as the kit plan says; no kits where the file cannot be loaded as drum kits
// alone (then it is loaded whole).
struct PlannedFont {
    std::string path;
    std::optional<KitSet> kits;
    KitLayers layers;
};

// The fonts of the set, the base first. Each kit button's kit is made in one
// font, of its own kit or the closest one; the base font plays its own kit 0
// besides, as the kit loaded first.
std::vector<PlannedFont> plannedFonts(const SoundFontSet& fonts);

}  // namespace padscope
