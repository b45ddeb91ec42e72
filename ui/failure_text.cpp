#include "ui/failure_text.h"

#include "core/platform/terminal_text.h"

#include <QCoreApplication>
#include <QStringList>

#include <array>
#include <string_view>

namespace padscope {

namespace {

// Where a text puts the failure's subject.
enum class Subject { Line, InHeadline, Hidden };

// Every failure's words: the window's in Japanese, translated for English
// captions, and the terminal's in English, where %1 is the subject.
struct FailureWords {
    Failure failure;
    const char* context;
    const char* lead;  // a line before the headline, or null
    const char* headline;
    Subject subject;
    const char* tail;  // the last line, or null
    std::string_view terminal;
};

constexpr const char* kMessages = "padscope::Messages";
constexpr const char* kAudio = "padscope::AudioFailureMessage";

constexpr const char* kKeepsFont = QT_TRANSLATE_NOOP("padscope::Messages", "内蔵シンセは前の SoundFont のまま鳴ります");
constexpr const char* kSynthSilent = QT_TRANSLATE_NOOP("padscope::AudioFailureMessage", "内蔵シンセの音を出せません");
constexpr const char* kTryAgain = QT_TRANSLATE_NOOP("padscope::AudioFailureMessage", "パッドを押すと、もう一度試します");

constexpr std::array kWords{
    FailureWords{Failure::NoPorts, kMessages, nullptr,
                 QT_TRANSLATE_NOOP("padscope::Messages", "ＭＩＤＩ音源がないのでこのソフトは利用できません"),
                 Subject::Line, nullptr, "there is no MIDI output port"},
    FailureWords{Failure::PortOpenFailed, kMessages, nullptr,
                 QT_TRANSLATE_NOOP("padscope::Messages", "ＭＩＤＩデバイスが開けません"), Subject::Line, nullptr,
                 "the MIDI port cannot be opened"},
    FailureWords{Failure::SettingsNotSaved, kMessages, nullptr,
                 QT_TRANSLATE_NOOP("padscope::Messages", "設定ファイルを保存できません"), Subject::Line, nullptr,
                 "the settings file %1 cannot be saved"},
    FailureWords{Failure::SettingsNotSavedNoUserFolder, kMessages, nullptr,
                 QT_TRANSLATE_NOOP("padscope::Messages", "設定ファイルを保存できません"), Subject::Line,
                 QT_TRANSLATE_NOOP("padscope::Messages",
                                   "HOME が設定されていないため、ユーザーの設定フォルダがありません"),
                 "the settings file %1 cannot be saved, and without HOME there is no user settings folder"},
    FailureWords{Failure::InputGone, kMessages, nullptr,
                 QT_TRANSLATE_NOOP("padscope::Messages", "ＭＩＤＩ入力が見つかりません。「なし」にしました"),
                 Subject::Line, nullptr, "the MIDI input has gone"},
    FailureWords{Failure::SoundFontMissing, kMessages, nullptr,
                 QT_TRANSLATE_NOOP("padscope::Messages", "SoundFont ファイルが見つかりません"), Subject::Line,
                 kKeepsFont, "the SoundFont %1 cannot be used: there is no such file"},
    FailureWords{Failure::SoundFontIsFolder, kMessages, nullptr,
                 QT_TRANSLATE_NOOP("padscope::Messages", "SoundFont ファイルではなくフォルダです"), Subject::Line,
                 kKeepsFont, "the SoundFont %1 cannot be used: it is not a file"},
    FailureWords{Failure::SoundFontNotAFile, kMessages, nullptr,
                 QT_TRANSLATE_NOOP("padscope::Messages", "SoundFont ファイルではなく特殊ファイルです"),
                 Subject::Line, kKeepsFont, "the SoundFont %1 cannot be used: it is not a file"},
    FailureWords{Failure::SoundFontUnreadable, kMessages, nullptr,
                 QT_TRANSLATE_NOOP("padscope::Messages", "SoundFont ファイルを読む権限がありません"),
                 Subject::Line, kKeepsFont, "the SoundFont %1 cannot be used: it cannot be read"},
    FailureWords{Failure::SoundFontEmpty, kMessages, nullptr,
                 QT_TRANSLATE_NOOP("padscope::Messages", "SoundFont ファイルが空です"), Subject::Line, kKeepsFont,
                 "the SoundFont %1 cannot be used: it is empty"},
    FailureWords{Failure::SoundFontTruncated, kMessages, nullptr,
                 QT_TRANSLATE_NOOP("padscope::Messages", "SoundFont ファイルが途中で切れています"), Subject::Line,
                 kKeepsFont, "the SoundFont %1 cannot be used: it is cut short"},
    FailureWords{Failure::SoundFontNotASoundFont, kMessages, nullptr,
                 QT_TRANSLATE_NOOP("padscope::Messages", "SoundFont ファイルとして読めません"), Subject::Line,
                 kKeepsFont, "the SoundFont %1 cannot be used: it is not a SoundFont"},
    FailureWords{Failure::MessageTooLong, kMessages, nullptr,
                 QT_TRANSLATE_NOOP("padscope::Messages", "ＭＩＤＩメッセージが長すぎるため送れません"),
                 Subject::Line, nullptr, "a MIDI message is too long to be sent"},
    FailureWords{Failure::InputOpenFailed, kMessages, nullptr,
                 QT_TRANSLATE_NOOP("padscope::Messages", "ＭＩＤＩデバイスが開けません"), Subject::Line, nullptr,
                 "the MIDI input cannot be opened"},
    FailureWords{Failure::AudioJoinRefused, kAudio, kSynthSilent,
                 QT_TRANSLATE_NOOP("padscope::AudioFailureMessage",
                                   "JACK サーバーに参加できません（ほかのユーザーのサーバーかもしれません）"),
                 Subject::Hidden, kTryAgain, "the built-in synth may not join the JACK server"},
    FailureWords{Failure::AudioServerNotAnswering, kAudio, kSynthSilent,
                 QT_TRANSLATE_NOOP("padscope::AudioFailureMessage", "JACK サーバーが応答しません"), Subject::Hidden,
                 kTryAgain, "the JACK server does not answer"},
    FailureWords{Failure::AudioServerUnreachable, kAudio, kSynthSilent,
                 QT_TRANSLATE_NOOP("padscope::AudioFailureMessage", "%1 サーバーに接続できません"),
                 Subject::InHeadline, kTryAgain, "the %1 server cannot be reached"},
    FailureWords{Failure::AudioServerGone, kAudio, kSynthSilent,
                 QT_TRANSLATE_NOOP("padscope::AudioFailureMessage", "%1 サーバーが終了しました"),
                 Subject::InHeadline, kTryAgain, "the %1 server has gone away"},
    FailureWords{Failure::AudioNoDevice, kAudio, kSynthSilent,
                 QT_TRANSLATE_NOOP("padscope::AudioFailureMessage", "オーディオデバイスを開けません"), Subject::Hidden,
                 kTryAgain, "no audio device can be opened"},
};

constexpr bool eachFailureInItsPlace()
{
    for (std::size_t i = 0; i < kWords.size(); ++i)
        if (static_cast<std::size_t>(kWords[i].failure) != i)
            return false;
    return kWords.size() == static_cast<std::size_t>(Failure::AudioNoDevice) + 1;
}
static_assert(eachFailureInItsPlace(), "one row for each failure, in the enum's order");

const FailureWords& wordsOf(Failure failure)
{
    return kWords[static_cast<std::size_t>(failure)];
}

}  // namespace

QString failureText(const FailureReport& failure)
{
    const FailureWords& words = wordsOf(failure.failure);
    auto translated = [&words](const char* text) { return QCoreApplication::translate(words.context, text); };
    const QString subject = QString::fromUtf8(failure.subject);
    QStringList lines;
    if (words.lead)
        lines << translated(words.lead);
    lines << (words.subject == Subject::InHeadline ? translated(words.headline).arg(subject)
                                                   : translated(words.headline));
    if (words.subject == Subject::Line && !subject.isEmpty())
        lines << subject;
    if (!failure.reason.empty())
        lines << QString::fromStdString(failure.reason);
    if (words.tail)
        lines << translated(words.tail);
    return lines.join(QLatin1Char('\n'));
}

std::string terminalText(const FailureReport& failure)
{
    std::string text(wordsOf(failure.failure).terminal);
    if (const std::size_t at = text.find("%1"); at != std::string::npos)
        text.replace(at, 2, terminalSafe(failure.subject));
    if (!failure.reason.empty())
        text += " (" + terminalSafe(failure.reason) + ')';
    return text;
}

}  // namespace padscope
