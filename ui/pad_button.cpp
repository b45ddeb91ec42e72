#include "pad_button.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace padscope {

PadButton::PadButton(int note, QWidget* parent) : QPushButton(parent), note_(note) {}

void PadButton::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown();
    // The push button itself only reacts to the left button; the others
    // still play, so take them here (which also grabs the mouse for the release).
    if (event->button() == Qt::LeftButton)
        QPushButton::mousePressEvent(event);
    else
        event->accept();
}

void PadButton::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseUp();
    if (event->button() == Qt::LeftButton)
        QPushButton::mouseReleaseEvent(event);
    else
        event->accept();
}

void PadButton::keyPressEvent(QKeyEvent* event)
{
    // Auto-repeat presses come through too; the held-key flag filters them.
    emit keyDown();
    QPushButton::keyPressEvent(event);
}

void PadButton::keyReleaseEvent(QKeyEvent* event)
{
    // Some platforms pair every auto-repeat press with a release: those are
    // not the key going up.
    if (!event->isAutoRepeat())
        emit keyUp();
    QPushButton::keyReleaseEvent(event);
}

void KitSelectButton::keyPressEvent(QKeyEvent* event)
{
    if (!event->text().isEmpty())
        emit characterTyped();
    QPushButton::keyPressEvent(event);
}

QString literalCaption(QStringView text)
{
    QString caption = text.toString();
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    return caption;
}

}  // namespace padscope
