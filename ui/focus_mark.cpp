#include "ui/focus_mark.h"

#include <QPainter>
#include <QWidget>

namespace padscope {

void paintFocusMark(QWidget& control)
{
    if (!control.hasFocus())
        return;
    QPainter painter(&control);
    painter.setPen(QPen(control.palette().color(QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(control.rect()).adjusted(1, 1, -1, -1));
}

}  // namespace padscope
