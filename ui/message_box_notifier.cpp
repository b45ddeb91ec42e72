#include "ui/message_box_notifier.h"

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
    case Failure::InputOpenFailed:
        return QCoreApplication::translate("padscope::Messages", "ＭＩＤＩデバイスが開けません");
    case Failure::SettingsNotSaved:
    case Failure::SettingsNotSavedNoUserFolder:
        return QCoreApplication::translate("padscope::Messages", "設定ファイルを保存できません");
    case Failure::InputGone:
        return QCoreApplication::translate("padscope::Messages", "ＭＩＤＩ入力が見つかりません。「なし」にしました");
    case Failure::MessageTooLong:
        return QCoreApplication::translate("padscope::Messages", "ＭＩＤＩメッセージが長すぎるため送れません");
    case Failure::SoundFontMissing:
        return QCoreApplication::translate("padscope::Messages", "SoundFont ファイルが見つかりません");
    case Failure::SoundFontIsFolder:
        return QCoreApplication::translate("padscope::Messages", "SoundFont ファイルではなくフォルダです");
    case Failure::SoundFontNotAFile:
        return QCoreApplication::translate("padscope::Messages", "SoundFont ファイルではなく特殊ファイルです");
    case Failure::SoundFontUnreadable:
        return QCoreApplication::translate("padscope::Messages", "SoundFont ファイルを読む権限がありません");
    case Failure::SoundFontEmpty:
        return QCoreApplication::translate("padscope::Messages", "SoundFont ファイルが空です");
    case Failure::SoundFontTruncated:
        return QCoreApplication::translate("padscope::Messages", "SoundFont ファイルが途中で切れています");
    case Failure::SoundFontNotASoundFont:
        return QCoreApplication::translate("padscope::Messages", "SoundFont ファイルとして読めません");
    }
    return {};
}

bool isSoundFontFailure(Failure failure)
{
    switch (failure) {
    case Failure::SoundFontMissing:
    case Failure::SoundFontIsFolder:
    case Failure::SoundFontNotAFile:
    case Failure::SoundFontUnreadable:
    case Failure::SoundFontEmpty:
    case Failure::SoundFontTruncated:
    case Failure::SoundFontNotASoundFont:
        return true;
    default:
        return false;
    }
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
    if (isSoundFontFailure(failure))
        lines << QCoreApplication::translate("padscope::Messages", "内蔵シンセは前の SoundFont のまま鳴ります");
    return lines.join(QLatin1Char('\n'));
}

void MessageBoxNotifier::notify(Failure failure, std::string_view detail)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), failureText(failure, detail),
                    QMessageBox::Ok);
    box.exec();
}

}  // namespace padscope
