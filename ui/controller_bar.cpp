#include "ui/controller_bar.h"

#include "ui/focus_mark.h"

namespace padscope {

void ControllerBar::paintEvent(QPaintEvent* event)
{
    QScrollBar::paintEvent(event);
    paintFocusMark(*this);
}

QAbstractSlider::SliderAction controllerBarAction(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        return QAbstractSlider::SliderSingleStepSub;
    case Qt::Key_Right:
    case Qt::Key_Down:
        return QAbstractSlider::SliderSingleStepAdd;
    case Qt::Key_PageUp:
        return QAbstractSlider::SliderPageStepSub;
    case Qt::Key_PageDown:
        return QAbstractSlider::SliderPageStepAdd;
    case Qt::Key_Home:
        return QAbstractSlider::SliderToMinimum;
    case Qt::Key_End:
        return QAbstractSlider::SliderToMaximum;
    default:
        return QAbstractSlider::SliderNoAction;
    }
}

}  // namespace padscope
