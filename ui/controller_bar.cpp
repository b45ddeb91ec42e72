#include "ui/controller_bar.h"

#include "ui/focus_mark.h"

namespace padscope {

void ControllerBar::paintEvent(QPaintEvent* event)
{
    QScrollBar::paintEvent(event);
    paintFocusMark(*this);
}

}  // namespace padscope
