#include "ui/kit_select_button.h"

#include <QKeyEvent>

namespace padscope {

void KitSelectButton::keyPressEvent(QKeyEvent* event)
{
    if (!event->text().isEmpty())
        emit characterTyped();
    QPushButton::keyPressEvent(event);
}

}  // namespace padscope
