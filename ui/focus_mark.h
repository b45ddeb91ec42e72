#pragma once

class QWidget;

namespace padscope {

// A clearly visible keyboard focus mark: while the control has the focus, a
// two-pixel frame in the highlight colour just inside its edges. Called at
// the end of the control's own paintEvent, so it lies over its painting.
void paintFocusMark(QWidget& control);

}  // namespace padscope
