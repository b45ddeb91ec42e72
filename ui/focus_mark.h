#pragma once

class QWidget;

namespace padscope {

// Gives a control a clearly visible keyboard focus mark: while it has the
// focus, a two-pixel frame in the highlight colour just inside its edges,
// over its own painting.
void addFocusMark(QWidget* control);

}  // namespace padscope
