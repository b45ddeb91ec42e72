// The built-in synth's audio failures as the user reads them: in a message
// box over the window, in the interface's language.
#include "ui/audio_failure_message.h"
#include "ui/interface_language.h"
#include "tests/support/recording_output.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMessageBox>
#include <QTest>
#include <QWidget>

#include <thread>

using namespace padscope;

TEST(AudioFailureMessage, NamesTheFirstOutputsCauseInTheInterfacesLanguage)
{
    EXPECT_EQ(audioFailureText({AudioOutputKind::Jack, AudioFault::JackRefused, "detail"}),
              "内蔵シンセの音を出せません\n"
              "JACK サーバーに参加できません（ほかのユーザーのサーバーかもしれません）\n"
              "パッドを押すと、もう一度試します");
    EXPECT_EQ(audioFailureText({AudioOutputKind::PulseAudio, AudioFault::ServerGone, ""}),
              "内蔵シンセの音を出せません\nPulseAudio サーバーが終了しました\nパッドを押すと、もう一度試します");
    EXPECT_EQ(audioFailureText({AudioOutputKind::Alsa, AudioFault::NoDevice, ""}),
              "内蔵シンセの音を出せません\nオーディオデバイスを開けません\nパッドを押すと、もう一度試します");

    const InterfaceTranslation english(Language::English);
    ASSERT_TRUE(english.loaded());
    EXPECT_EQ(audioFailureText({AudioOutputKind::PipeWire, AudioFault::ServerUnreachable, ""}),
              "The built-in synth cannot play\nThe PipeWire server cannot be reached\nPressing a pad tries again");
    EXPECT_EQ(audioFailureText({AudioOutputKind::Jack, AudioFault::JackNotAnswering, ""}),
              "The built-in synth cannot play\nThe JACK server does not answer\nPressing a pad tries again");
    EXPECT_EQ(audioFailureText({AudioOutputKind::Jack, AudioFault::JackRefused, ""}),
              "The built-in synth cannot play\n"
              "The JACK server does not let it join (the server may be another user's)\n"
              "Pressing a pad tries again");
}

// The report comes from the port's worker thread; the box opens on the
// window's thread, and once the reporter has gone nothing is reported.
TEST(AudioFailureMessage, ReportFromTheWorkerOpensABoxOverTheWindow)
{
    RecordingOutput output;
    QWidget window;
    window.show();
    {
        const AudioFailureReporter reporter(output, window);
        ASSERT_TRUE(output.audioFailureHandler());
        const AudioFailureHandler handler = output.audioFailureHandler();
        std::thread([&handler] { handler({AudioOutputKind::PulseAudio, AudioFault::ServerGone, ""}); }).join();
        QMessageBox* box = nullptr;
        for (int i = 0; i < 100 && !box; ++i) {
            QTest::qWait(20);
            box = window.findChild<QMessageBox*>();
        }
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->text(), "内蔵シンセの音を出せません\nPulseAudio サーバーが終了しました\nパッドを押すと、もう一度試します");
        box->close();
    }
    EXPECT_FALSE(output.audioFailureHandler());
}
