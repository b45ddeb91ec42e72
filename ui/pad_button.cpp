#include "ui/pad_button.h"

#include "ui/focus_mark.h"
#include "ui/key_release_filter.h"
#include "catalogue/sound_finder.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

namespace padscope {

namespace {

// Keys held down to begin a shortcut (Ctrl+F) or to switch windows: not a
// press of the pad. Shift types capitals, so it plays as any other key.
bool startsShortcut(int key)
{
    switch (key) {
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
        return true;
    default:
        return false;
    }
}

}  // namespace

PadButton::PadButton(int note, KeyReleaseFilter* releases, QWidget* parent)
    : QPushButton(parent), note_(note), releases_(releases)
{
    // The caption names only the sound: a screen reader also tells where the
    // pad lies, by its row and column headings, and the note it plays.
    setAccessibleDescription(tr("%1 %2、ノートナンバー %3")
                                 .arg(QString::fromUtf8(pitchClassName(note)))
                                 .arg(note / 12 - 1)
                                 .arg(note));
}

void PadButton::mousePressEvent(QMouseEvent* event)
{
    releases_->flush();
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
    releases_->flush();
    emit mouseUp();
    if (event->button() == Qt::LeftButton)
        QPushButton::mouseReleaseEvent(event);
    else
        event->accept();
}

void PadButton::keyPressEvent(QKeyEvent* event)
{
    // Auto-repeat presses come through too; the held-key flag filters them.
    if (!startsShortcut(event->key())) {
        releases_->press(*event);
        emit keyDown();
    }
    QPushButton::keyPressEvent(event);
}

void PadButton::keyReleaseEvent(QKeyEvent* event)
{
    // Some platforms pair every auto-repeat press with a release: those are
    // not the key going up. Qt flags only some of them, so the filter looks
    // at what follows as well.
    if (!event->isAutoRepeat())
        releases_->release(*event, [pad = QPointer<PadButton>(this)] {
            if (pad)
                emit pad->keyUp();
        });
    QPushButton::keyReleaseEvent(event);
}

void PadButton::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    paintFocusMark(*this);
}

QString literalCaption(QStringView text)
{
    QString caption = text.toString();
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    return caption;
}

}  // namespace padscope
