#include "core/settings/window_frame.h"

#include <algorithm>

namespace padscope {

namespace {

int clampTo(long long value, long long low, long long high)
{
    return static_cast<int>(std::clamp(value, low, high));
}

}  // namespace

WindowFrame fitToDesktop(const WindowFrame& saved, const WindowFrame& desktop)
{
    const long long width = std::max(1, desktop.width);
    const long long height = std::max(1, desktop.height);
    return {
        clampTo(saved.left, desktop.left, desktop.left + width - 1),
        clampTo(saved.top, desktop.top, desktop.top + height - 1),
        clampTo(saved.width, 1, width),
        clampTo(saved.height, 1, height),
    };
}

}  // namespace padscope
