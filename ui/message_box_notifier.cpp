#include "message_box_notifier.h"

#include "qt_text.h"

#include <QApplication>
#include <QMessageBox>

namespace padscope {

void MessageBoxNotifier::showMessage(std::string_view text)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    toQString(text), QMessageBox::Ok);
    box.exec();
}

}  // namespace padscope
