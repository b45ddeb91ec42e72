#include "message_box_notifier.h"

#include <QApplication>
#include <QMessageBox>
#include <QStringList>

namespace padscope {

namespace {

constexpr auto kContext = "padscope::Messages";

// The core's message lines (notifier.h, settings_file.h), listed here for
// the translation tools; the core itself holds no translation machinery.
[[maybe_unused]] constexpr const char* kMessageLines[] = {
    QT_TRANSLATE_NOOP("padscope::Messages", "ＭＩＤＩ音源がないのでこのソフトは利用できません"),
    QT_TRANSLATE_NOOP("padscope::Messages", "ＭＩＤＩデバイスが開けません"),
    QT_TRANSLATE_NOOP("padscope::Messages", "設定ファイルを保存できません"),
    QT_TRANSLATE_NOOP("padscope::Messages", "HOME が設定されていないため、ユーザーの設定フォルダがありません"),
};

}  // namespace

QString shownMessage(std::string_view text)
{
    QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = QCoreApplication::translate(kContext, line.toUtf8().constData());
    return lines.join(QLatin1Char('\n'));
}

void MessageBoxNotifier::showMessage(std::string_view text)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), shownMessage(text), QMessageBox::Ok);
    box.exec();
}

}  // namespace padscope
