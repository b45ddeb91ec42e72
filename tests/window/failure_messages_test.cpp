// Failures as the user reads them: in a message box over the window, in the
// interface's language, shown once the call that met them has returned.
#include "ui/audio_failure_message.h"
#include "ui/failure_messages.h"
#include "ui/failure_text.h"
#include "ui/interface_language.h"
#include "tests/support/scripted_input.h"
#include "tests/window/window_fixture.h"

#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <thread>

namespace padscope::test {
namespace {

QString audioText(AudioOutputKind output, AudioFault fault, std::string detail = {})
{
    return failureText(failureReport({output, fault, std::move(detail)}));
}

TEST(FailureText, AudioFailureNamesTheServerAndTheLibrarysWords)
{
    EXPECT_EQ(audioText(AudioOutputKind::Jack, AudioFault::JackRefused),
              "内蔵シンセの音を出せません\n"
              "JACK サーバーに参加できません（ほかのユーザーのサーバーかもしれません）\n"
              "パッドを押すと、もう一度試します");
    EXPECT_EQ(audioText(AudioOutputKind::PulseAudio, AudioFault::ServerGone, "pulseaudio: connection refused"),
              "内蔵シンセの音を出せません\nPulseAudio サーバーが終了しました\npulseaudio: connection refused\n"
              "パッドを押すと、もう一度試します");
    EXPECT_EQ(audioText(AudioOutputKind::Alsa, AudioFault::NoDevice),
              "内蔵シンセの音を出せません\nオーディオデバイスを開けません\nパッドを押すと、もう一度試します");

    const InterfaceTranslation english(Language::English);
    ASSERT_TRUE(english.loaded());
    EXPECT_EQ(audioText(AudioOutputKind::PipeWire, AudioFault::ServerUnreachable),
              "The built-in synth cannot play\nThe PipeWire server cannot be reached\nPressing a pad tries again");
    EXPECT_EQ(audioText(AudioOutputKind::Jack, AudioFault::JackNotAnswering),
              "The built-in synth cannot play\nThe JACK server does not answer\nPressing a pad tries again");
    EXPECT_EQ(audioText(AudioOutputKind::Jack, AudioFault::JackRefused),
              "The built-in synth cannot play\n"
              "The JACK server does not let it join (the server may be another user's)\n"
              "Pressing a pad tries again");
    // The port's reason comes after what failed, in the library's words.
    EXPECT_EQ(failureText({Failure::PortOpenFailed, {}, "ALSA: port 20:0 is busy"}),
              "Cannot open the MIDI device\nALSA: port 20:0 is busy");
}

TEST(FailureText, TerminalWordsNameTheFileSafely)
{
    EXPECT_EQ(terminalText({Failure::SoundFontIsFolder, "/a/kits"}),
              "the SoundFont /a/kits cannot be used: it is not a file");
    EXPECT_EQ(terminalText({Failure::SoundFontEmpty, "/a/\x1b[2J.sf2"}),
              "the SoundFont /a/\\x1B[2J.sf2 cannot be used: it is empty");
}

QMessageBox* shownBox()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            return box;
    return nullptr;
}

class FailureChannel : public WindowFixture {
protected:
    FailureMessages messages;
    ScriptedInput input{{"Keys"}};

    FailureChannel() { failures = &messages; }
    ~FailureChannel() override
    {
        window.reset();
        QCoreApplication::processEvents();
    }
    void startShown()
    {
        saved.inputName = "Keys";
        start();
        window->attachInput(input);
        window->show();
        messages.showOver(*window);
    }
};

// The port change meets a port that will not open: the box comes once the
// change has returned, and what came in before it waits until then too.
TEST_F(FailureChannel, PortChangeFailureShowsAfterTheChangeAndNothingIsHandledMeanwhile)
{
    ports[1].opens = false;
    bool changing = false;
    int waits = 0;
    bool boxDuringChange = false, kitDuringChange = false;
    // The reset's wait runs inside the change, after the failed open.
    sleep = [&](std::chrono::milliseconds) {
        if (!changing)
            return;
        ++waits;
        boxDuringChange = shownBox() != nullptr;
        kitDuringChange = button(141)->isChecked();
    };
    startShown();
    ASSERT_TRUE(button(130)->isChecked());
    std::thread([this] { input.play(std::vector<std::uint8_t>{0xC9, 25}); }).join();

    changing = true;
    window->changePort();
    changing = false;

    EXPECT_EQ(waits, 1);
    EXPECT_FALSE(boxDuringChange);
    EXPECT_FALSE(kitDuringChange);
    EXPECT_EQ(shownBox(), nullptr);
    EXPECT_TRUE(button(130)->isChecked());

    QCoreApplication::processEvents();
    QMessageBox* box = shownBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "ＭＩＤＩデバイスが開けません");
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
    EXPECT_TRUE(button(141)->isChecked());  // "TR-808"
    box->close();
}

// Without a port, start-up meets its failures before the window shows: each
// box comes up in turn, waited for, in the order met, and the window only
// after the last.
TEST_F(FailureChannel, StartUpFailuresAreShownOneAfterAnotherBeforeTheWindow)
{
    ports.clear();
    start();
    EXPECT_EQ(shownBox(), nullptr) << "a box came up inside the start-up";
    QStringList seen;
    bool windowUp = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen << box->text();
            windowUp = windowUp || window->isVisible();
            box->done(QMessageBox::Ok);
        }
    });
    closer.start(10);
    messages.showWaiting();
    EXPECT_EQ(seen, (QStringList{"ＭＩＤＩ音源がないのでこのソフトは利用できません", "ＭＩＤＩデバイスが開けません",
                                 "ＭＩＤＩデバイスが開けません"}));
    EXPECT_FALSE(windowUp);
}

// The synth's worker reports from its own thread; the box opens over the
// window on the window's thread, and once the reporter has gone nothing is
// reported.
TEST_F(FailureChannel, AudioFailureFromTheWorkerOpensABoxOverTheWindow)
{
    startShown();
    {
        const AudioFailureReporter reporter(output, messages);
        const AudioFailureHandler handler = output.audioFailureHandler();
        ASSERT_TRUE(handler);
        std::thread([&handler] { handler({AudioOutputKind::PulseAudio, AudioFault::ServerGone, ""}); }).join();
        QMessageBox* box = nullptr;
        for (int i = 0; i < 100 && !box; ++i) {
            QTest::qWait(20);
            box = window->findChild<QMessageBox*>();
        }
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->windowModality(), Qt::WindowModal);
        EXPECT_EQ(box->text(), "内蔵シンセの音を出せません\nPulseAudio サーバーが終了しました\nパッドを押すと、もう一度試します");
        box->close();
    }
    EXPECT_FALSE(output.audioFailureHandler());
}

}  // namespace
}  // namespace padscope::test
