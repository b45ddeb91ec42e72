#include "core/settings/window_frame.h"

#include <algorithm>
#include <climits>

namespace padscope {

namespace {

struct Box {
    long long left, top, right, bottom;
};

Box boxOf(const WindowFrame& f)
{
    return {f.left, f.top, static_cast<long long>(f.left) + f.width, static_cast<long long>(f.top) + f.height};
}

// The rectangle around every screen, or no bounds without a screen.
Box desktopOf(std::span<const WindowFrame> screens)
{
    if (screens.empty())
        return {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    Box desktop = boxOf(screens.front());
    for (const WindowFrame& screen : screens) {
        const Box b = boxOf(screen);
        desktop = {std::min(desktop.left, b.left), std::min(desktop.top, b.top), std::max(desktop.right, b.right),
                   std::max(desktop.bottom, b.bottom)};
    }
    return desktop;
}

WindowFrame cutToDesktop(const WindowFrame& f, const Box& desktop)
{
    return {f.left, f.top, static_cast<int>(std::min<long long>(f.width, desktop.right - desktop.left)),
            static_cast<int>(std::min<long long>(f.height, desktop.bottom - desktop.top))};
}

bool isOnAScreen(const WindowFrame& f, std::span<const WindowFrame> screens)
{
    if (screens.empty())
        return true;
    const Box frame = boxOf(f);
    return std::ranges::any_of(screens, [&](const WindowFrame& screen) {
        const Box s = boxOf(screen);
        const long long shownWidth = std::min(frame.right, s.right) - std::max(frame.left, s.left);
        const long long shownHeight = std::min(frame.bottom, s.bottom) - frame.top;
        return frame.top >= s.top && shownWidth >= kUsableFrameSide && shownHeight >= kUsableFrameSide;
    });
}

}  // namespace

WindowFrame placeWindow(const WindowFrame& saved, const WindowFrame& defaults, std::span<const WindowFrame> screens)
{
    const Box desktop = desktopOf(screens);
    const WindowFrame kept = cutToDesktop(saved, desktop);
    if (saved.width >= kUsableFrameSide && saved.height >= kUsableFrameSide && isOnAScreen(kept, screens))
        return kept;
    const WindowFrame fallback = cutToDesktop(defaults, desktop);
    if (const WindowFrame there{saved.left, saved.top, fallback.width, fallback.height}; isOnAScreen(there, screens))
        return there;
    if (isOnAScreen(fallback, screens))
        return fallback;
    const WindowFrame& primary = screens.front();
    return {primary.left, primary.top, fallback.width, fallback.height};
}

}  // namespace padscope
