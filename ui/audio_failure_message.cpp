#include "ui/audio_failure_message.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace padscope {

namespace {

constexpr auto kContext = "padscope::AudioFailureMessage";

QString translated(const char* text)
{
    return QCoreApplication::translate(kContext, text);
}

QString serverName(AudioOutputKind output)
{
    switch (output) {
    case AudioOutputKind::Jack: return QStringLiteral("JACK");
    case AudioOutputKind::PulseAudio: return QStringLiteral("PulseAudio");
    case AudioOutputKind::PipeWire: return QStringLiteral("PipeWire");
    case AudioOutputKind::Alsa: return QStringLiteral("ALSA");
    }
    return {};
}

QString causeText(const AudioFailure& failure)
{
    switch (failure.fault) {
    case AudioFault::JackRefused:
        return translated(QT_TRANSLATE_NOOP("padscope::AudioFailureMessage",
                                            "JACK サーバーに参加できません（ほかのユーザーのサーバーかもしれません）"));
    case AudioFault::JackNotAnswering:
        return translated(QT_TRANSLATE_NOOP("padscope::AudioFailureMessage", "JACK サーバーが応答しません"));
    case AudioFault::ServerUnreachable:
        return translated(QT_TRANSLATE_NOOP("padscope::AudioFailureMessage", "%1 サーバーに接続できません"))
            .arg(serverName(failure.output));
    case AudioFault::ServerGone:
        return translated(QT_TRANSLATE_NOOP("padscope::AudioFailureMessage", "%1 サーバーが終了しました"))
            .arg(serverName(failure.output));
    case AudioFault::NoDevice:
        return translated(QT_TRANSLATE_NOOP("padscope::AudioFailureMessage", "オーディオデバイスを開けません"));
    }
    return {};
}

void showAudioFailure(QWidget& window, const AudioFailure& failure)
{
    auto* box = new QMessageBox(QMessageBox::Warning, QApplication::applicationName(), audioFailureText(failure),
                                QMessageBox::Ok, &window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace

QString audioFailureText(const AudioFailure& failure)
{
    return translated(QT_TRANSLATE_NOOP("padscope::AudioFailureMessage", "内蔵シンセの音を出せません")) +
           QLatin1Char('\n') + causeText(failure) + QLatin1Char('\n') +
           translated(QT_TRANSLATE_NOOP("padscope::AudioFailureMessage", "パッドを押すと、もう一度試します"));
}

AudioFailureReporter::AudioFailureReporter(MidiOutput& output, QWidget& window) : output_(output)
{
    // The report comes from the port's worker thread; the box opens on the
    // window's. Once the window has gone, Qt drops what is still queued.
    output_.setAudioFailureHandler([target = &window](const AudioFailure& failure) {
        QMetaObject::invokeMethod(
            target, [target, failure] { showAudioFailure(*target, failure); }, Qt::QueuedConnection);
    });
}

AudioFailureReporter::~AudioFailureReporter()
{
    output_.setAudioFailureHandler({});
}

}  // namespace padscope
