#pragma once

namespace padscope {

// A window's outer frame, or the desktop's area, in screen pixels.
struct WindowFrame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const WindowFrame&) const = default;
};

// Fits a saved outer frame to the virtual desktop: at least one pixel and no
// more than the desktop in each direction, its top-left corner on the desktop.
// A frame that already fits comes back unchanged; nothing overflows, whatever
// the saved numbers.
WindowFrame fitToDesktop(const WindowFrame& saved, const WindowFrame& desktop);

}  // namespace padscope
