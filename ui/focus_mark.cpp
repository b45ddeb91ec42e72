#include "focus_mark.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

namespace padscope {

namespace {

class FocusMark final : public QObject {
public:
    explicit FocusMark(QWidget* control) : QObject(control) { control->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* control = static_cast<QWidget*>(parent());
        if (watched != control || event->type() != QEvent::Paint || !control->hasFocus())
            return false;
        // The control paints itself first, then the mark goes on top.
        static_cast<QObject*>(control)->event(event);
        QPainter painter(control);
        painter.setPen(QPen(control->palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(control->rect()).adjusted(1, 1, -1, -1));
        return true;
    }
};

}  // namespace

void addFocusMark(QWidget* control)
{
    new FocusMark(control);
}

}  // namespace padscope
