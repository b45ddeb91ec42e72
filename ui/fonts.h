#pragma once

#include <QFont>

namespace padscope {

// The face every control uses, at 12, 16 or 20 pixels.
inline constexpr const char* kUiFontFamily = "ＭＳ Ｐゴシック";

// Maps the face to a metric-compatible one where it is not installed, so
// Japanese text never falls back to a face of another width. Call once,
// after the QApplication exists.
void installFontSubstitutes();

// The window font at the given pixel height (12 for controls, 16 and 20 for headings).
QFont uiFont(int pixelSize);

}  // namespace padscope
