#pragma once

// Mouse input for scroll bars in the panel tests: the place of a bar's parts
// and plain mouse events sent straight to a widget.
#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

namespace padscope::test {

// Where the style draws one part of the bar (thumb, arrows, trough halves).
inline QRect scrollBarPart(const QScrollBar* bar, QStyle::SubControl part)
{
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.subControls = QStyle::SC_All;
    opt.orientation = bar->orientation();
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = bar->sliderPosition();
    opt.sliderValue = bar->value();
    opt.singleStep = bar->singleStep();
    opt.pageStep = bar->pageStep();
    opt.upsideDown = bar->invertedAppearance();
    if (bar->orientation() == Qt::Horizontal)
        opt.state |= QStyle::State_Horizontal;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, part, bar);
}

inline void sendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// Drags the thumb of `bar` by `dx` pixels in `steps` moves; `afterMove`
// runs after each move while the thumb is still held.
template <typename AfterMove>
void dragThumb(QScrollBar* bar, int dx, int steps, AfterMove afterMove)
{
    QPoint at = scrollBarPart(bar, QStyle::SC_ScrollBarSlider).center();
    sendMouse(bar, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    for (int step = 0; step < steps; ++step) {
        at += QPoint(dx / steps, 0);
        sendMouse(bar, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
        afterMove();
    }
    sendMouse(bar, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

}  // namespace padscope::test
