#include "kit_plan.h"

#include <filesystem>

namespace padscope {

// Until the fonts' presets are read: every kit plays its own program.
std::optional<KitPlan> planKits(const SoundFontSet& fonts)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(fonts.base, error))
        return std::nullopt;
    KitPlan plan;
    for (int program = 0; program < static_cast<int>(plan.size()); ++program)
        plan[static_cast<std::size_t>(program)] = {program, true, {}};
    return plan;
}

}  // namespace padscope
