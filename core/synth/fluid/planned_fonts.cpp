#include "core/synth/fluid/planned_fonts.h"

#include "core/synth/fluid/drum_only_font.h"
#include "core/synth/kit_plan.h"

namespace padscope {

std::vector<PlannedFont> plannedFonts(const SoundFontSet& fonts)
{
    const auto plan = planLayers(fonts);
    std::vector<std::filesystem::path> paths{fonts.base};
    paths.insert(paths.end(), fonts.overlays.begin(), fonts.overlays.end());
    std::vector<PlannedFont> planned;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        PlannedFont font{paths[i].string(), drumKitsIn(paths[i].string()), {}};
        if (font.kits) {
            font.layers = plan[i].value_or(eachAsItIs(*font.kits));
            if (i == 0 && font.kits->test(0) && font.layers[0].empty())
                font.layers[0] = {0};
            font.kits = kitsIn(font.layers);
        }
        planned.push_back(std::move(font));
    }
    return planned;
}

}  // namespace padscope
