#include "message_box_notifier.h"

#include <QApplication>
#include <QMessageBox>

namespace padscope {

void MessageBoxNotifier::showMessage(std::string_view text)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    QString::fromUtf8(text), QMessageBox::Ok);
    box.exec();
}

}  // namespace padscope
