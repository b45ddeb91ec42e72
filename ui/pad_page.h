#pragma once

#include <array>

class QPushButton;
class QWidget;

namespace padscope {

class KeyReleaseFilter;
class PadButton;

// The "楽器" page: 128 pads in octave columns with their note-name and
// octave headings, and the port-change button.
struct PadPage {
    std::array<PadButton*, 128> pads{};  // pads[n] plays note n (Button{n+1})
    QPushButton* portButton = nullptr;   // Button129
    KeyReleaseFilter* releases = nullptr;  // key releases held back on any pad
};

PadPage buildPadPage(QWidget* page);

}  // namespace padscope
