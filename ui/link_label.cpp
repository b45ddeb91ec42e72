#include "link_label.h"

#include <QMouseEvent>
#include <QPalette>

namespace padscope {

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
}

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        leftPressed_ = true;
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

// A click is a left press and release both on the label; releasing after
// dragging off it counts for nothing, as with a button.
void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && leftPressed_) {
        leftPressed_ = false;
        event->accept();
        if (rect().contains(event->position().toPoint()))
            emit clicked();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

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
