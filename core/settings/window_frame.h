#pragma once

#include <span>

namespace padscope {

// A window's outer frame, or a screen's area, in screen pixels.
struct WindowFrame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const WindowFrame&) const = default;
};

// Below this in either direction a window shows too little to be used, and
// of a window's frame at least this much, its top edge included, must lie
// on a screen for the user to find and move it.
inline constexpr int kUsableFrameSide = 100;

// Where the window opens, given its saved outer frame, its default one and
// the screens (the primary one first). A saved frame that is usable and on
// a screen stays exactly as saved, only cut to the desktop where it is
// larger. Otherwise the window takes its default size, cut likewise, at the
// saved place where it is then on a screen, else at its default place, else
// at the primary screen's corner. Nothing overflows, whatever the numbers.
WindowFrame placeWindow(const WindowFrame& saved, const WindowFrame& defaults, std::span<const WindowFrame> screens);

}  // namespace padscope
