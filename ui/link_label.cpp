#include "ui/link_label.h"

#include <QPalette>

namespace padscope {

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : ClickLabel(text, parent) {}

QColor LinkLabel::textColour() const
{
    return palette().color(QPalette::WindowText);
}

void LinkLabel::setTextColour(const QColor& colour)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
}

void LinkLabel::enterEvent(QEnterEvent* event)
{
    setTextColour(kHoverColour);
    ClickLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event)
{
    setTextColour(kRestColour);
    ClickLabel::leaveEvent(event);
}

}  // namespace padscope
