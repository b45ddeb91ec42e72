#include "message_box_notifier.h"

#include <QApplication>
#include <QMessageBox>
#include <QStringList>

namespace padscope {

namespace {

QString headline(Failure failure)
{
    switch (failure) {
    case Failure::NoPorts:
        return QCoreApplication::translate("padscope::Messages", "ＭＩＤＩ音源がないのでこのソフトは利用できません");
    case Failure::PortOpenFailed:
        return QCoreApplication::translate("padscope::Messages", "ＭＩＤＩデバイスが開けません");
    case Failure::SettingsNotSaved:
    case Failure::SettingsNotSavedNoUserFolder:
        return QCoreApplication::translate("padscope::Messages", "設定ファイルを保存できません");
    case Failure::InputGone:
        return QCoreApplication::translate("padscope::Messages", "ＭＩＤＩ入力が見つかりません。「なし」にしました");
    }
    return {};
}

}  // namespace

QString failureText(Failure failure, std::string_view detail)
{
    QStringList lines{headline(failure)};
    if (!detail.empty())
        lines << QString::fromUtf8(detail);
    if (failure == Failure::SettingsNotSavedNoUserFolder)
        lines << QCoreApplication::translate("padscope::Messages",
                                             "HOME が設定されていないため、ユーザーの設定フォルダがありません");
    return lines.join(QLatin1Char('\n'));
}

void MessageBoxNotifier::notify(Failure failure, std::string_view detail)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), failureText(failure, detail),
                    QMessageBox::Ok);
    box.exec();
}

}  // namespace padscope
