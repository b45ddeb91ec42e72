// The "ドラム音" page: what a press sends with and without edits, the page's
// controls, the audition's pace, the saved MIDI file as another reader sees
// it, the edits across a restart and from the watched input.
#include "ui/audition_throttle.h"
#include "ui/drum_sound_page.h"
#include "tests/support/scripted_input.h"
#include "tests/window/window_fixture.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <thread>

namespace padscope::test {
namespace {

// The 23 messages of a press of note 38 on kit 1, map SC-8850, controller
// page at its start values, split where an edited note's NRPN goes.
constexpr const char* kPressHead =
    "B9 4E 40, B9 4D 40, B9 4C 40, B9 48 40, B9 4B 40, B9 49 40, B9 47 40, B9 4A 40, B9 01 00, "
    "B9 00 00, B9 20 04, C9 00, B9 65 00, B9 64 00, B9 06 02, B9 26 00, B9 65 7F, B9 64 7F";
constexpr const char* kPressTail = "B9 5B 28, B9 5E 00, B9 5D 00, E9 00 40, 99 26 64";

class DrumSound : public WindowFixture {
protected:
    ScriptedInput input{{"Sequencer:out"}};
    ~DrumSound() override { window.reset(); }

    DrumSoundPage* page() const { return window->drumSoundPage(); }
    void press(int note)
    {
        QTest::mousePress(pad(note + 1), Qt::LeftButton);
        QTest::mouseRelease(pad(note + 1), Qt::LeftButton);
    }
    void key(QWidget* w, Qt::Key k)
    {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    std::size_t noteOns() const
    {
        std::size_t n = 0;
        for (auto w : sent())
            n += (w & 0xFF) == 0x99 && (w >> 16) != 0;
        return n;
    }
    QString valueText(DrumParameter p) const { return page()->valueLabel(p)->text(); }
};

TEST_F(DrumSound, PressOfAnEditedNoteCarriesItsNrpnAndNullAfterMessage18)
{
    saved.drumEdits.set(4, 0, 38, DrumParameter::Pitch, 0x40 - 12);
    saved.drumEdits.set(4, 0, 38, DrumParameter::Pan, 20);
    start();

    forget();
    press(36);  // unedited: today's 23 messages, then the release
    EXPECT_EQ(midiBytes(sent()),
              "B9 4E 40, B9 4D 40, B9 4C 40, B9 48 40, B9 4B 40, B9 49 40, B9 47 40, B9 4A 40, B9 01 00, "
              "B9 00 00, B9 20 04, C9 00, B9 65 00, B9 64 00, B9 06 02, B9 26 00, B9 65 7F, B9 64 7F, "
              "B9 5B 28, B9 5E 00, B9 5D 00, E9 00 40, 99 24 64, 99 24 00");

    forget();
    press(38);
    EXPECT_EQ(midiBytes(sent()), std::string(kPressHead) +
                                     ", B9 63 18, B9 62 26, B9 06 34, B9 63 1C, B9 62 26, B9 06 14, "
                                     "B9 63 7F, B9 62 7F, " + kPressTail + ", 99 26 00");

    // The same note of another kit or map has no edits.
    button(141)->click();  // TR-808
    forget();
    press(38);
    EXPECT_EQ(sent().size(), 24u);
}

TEST_F(DrumSound, PageFollowsThePadAndShowsWhatTheMapHas)
{
    start();
    auto* tabs = find<QTabWidget>(QStringLiteral("PageControl1"));
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(2), QStringLiteral("ドラム音"));
    EXPECT_EQ(tabs->widget(2)->objectName(), QStringLiteral("TabSheet3"));

    press(38);
    EXPECT_EQ(page()->noteLabel()->text(), QStringLiteral("D 2 (38)  Standard 1 Snare 1"));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    pad(43)->setFocus();  // note 42
    EXPECT_EQ(page()->note(), 42);
    for (const DrumParameterInfo& info : kDrumParameters) {
        EXPECT_EQ(valueText(info.parameter), QStringLiteral("変更なし"));
        EXPECT_FALSE(page()->bar(info.parameter)->accessibleName().isEmpty());
        EXPECT_EQ(page()->bar(info.parameter)->focusPolicy(), Qt::StrongFocus);
    }
    EXPECT_EQ(page()->bar(DrumParameter::Delay)->accessibleName(), QStringLiteral("ディレイ"));

    radio(4)->click();  // SC-55: no delay send
    EXPECT_TRUE(page()->bar(DrumParameter::Delay)->isHidden());
    radio(5)->click();  // XG: the variation send
    EXPECT_FALSE(page()->bar(DrumParameter::Delay)->isHidden());
    EXPECT_EQ(page()->bar(DrumParameter::Delay)->accessibleName(), QStringLiteral("バリエーション"));
}

TEST_F(DrumSound, KeysEditAuditionAtMostOncePerIntervalAndTheLastPositionGoesOut)
{
    start();
    press(38);
    QScrollBar* pitch = page()->bar(DrumParameter::Pitch);
    forget();
    // Twenty steps down at once, as a held key sends them: one audition at
    // once, the rest held back until the interval ends.
    for (int i = 0; i < 20; ++i)
        key(pitch, Qt::Key_Left);
    EXPECT_EQ(noteOns(), 1u);
    EXPECT_EQ(valueText(DrumParameter::Pitch), QStringLiteral("-20"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return noteOns() == 2u; }));
    const std::string last = midiBytes(sent());
    EXPECT_NE(last.find("B9 63 18, B9 62 26, B9 06 2C, B9 63 7F, B9 62 7F"), std::string::npos) << last;
    // The interval after it passes with nothing held: no third.
    const auto* throttle = page()->findChild<AuditionThrottle*>();
    ASSERT_NE(throttle, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !throttle->busy(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(noteOns(), 2u);

    // The level at its end was unchanged; End still makes it an edit.
    key(page()->bar(DrumParameter::Level), Qt::Key_End);
    EXPECT_EQ(valueText(DrumParameter::Level), QStringLiteral("127"));
    key(page()->bar(DrumParameter::Level), Qt::Key_Delete);
    EXPECT_EQ(valueText(DrumParameter::Level), QStringLiteral("変更なし"));

    key(page()->bar(DrumParameter::Pan), Qt::Key_Home);
    EXPECT_EQ(valueText(DrumParameter::Pan), QStringLiteral("ランダム"));
    key(page()->bar(DrumParameter::Pan), Qt::Key_Right);
    EXPECT_EQ(valueText(DrumParameter::Pan), QStringLiteral("L63"));

    find<QPushButton>(QStringLiteral("DrumSoundResetNote"))->click();
    EXPECT_EQ(window->drumSoundPage()->edits().find(4, 0, 38), nullptr);
    EXPECT_EQ(valueText(DrumParameter::Pitch), QStringLiteral("変更なし"));
}

TEST_F(DrumSound, EditsSurviveARestartAndNoEditsSaveNone)
{
    start();
    window->close();
    ASSERT_EQ(savedAtClose.size(), 1u);
    EXPECT_TRUE(savedAtClose.back().drumEdits.empty());

    start();
    press(36);
    key(page()->bar(DrumParameter::Reverb), Qt::Key_Home);
    window->close();
    saved = savedAtClose.back();
    EXPECT_EQ(saved.drumEdits.find(4, 0, 36)->value(DrumParameter::Reverb), 0);

    start();
    press(36);
    EXPECT_EQ(valueText(DrumParameter::Reverb), QStringLiteral("0"));
    find<QPushButton>(QStringLiteral("DrumSoundResetKit"))->click();
    EXPECT_TRUE(page()->edits().empty());
}

TEST_F(DrumSound, SavedFileReadsBackInAnotherParserAsSetUpThenNotes)
{
    saved.drumEdits.set(2, 0, 38, DrumParameter::Pitch, 0x40 - 12);
    saved.drumEdits.set(2, 0, 42, DrumParameter::Pan, 1);
    saved.map = 2;
    start();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kit.mid"));
    ASSERT_TRUE(page()->saveMidiFile(path));

    const std::string command = std::string(PADSCOPE_MIDI_FILE_EVENTS) + " '" + path.toStdString() + "'";
    std::string events;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            events += buffer;
        ASSERT_EQ(pclose(pipe), 0) << events;
    }
    EXPECT_EQ(events,
              "type 0 ticks 480 tracks 1\n"
              "0 set_tempo 500000\n0 time_signature\n"
              "0 F0 41 10 42 12 40 00 7F 00 41 F7\n"
              "240 B9 00 00\n240 B9 20 02\n240 C9 00\n"
              "240 B9 4E 40\n240 B9 4D 40\n240 B9 4C 40\n240 B9 48 40\n240 B9 4B 40\n240 B9 49 40\n"
              "240 B9 47 40\n240 B9 4A 40\n240 B9 01 00\n"
              "240 B9 65 00\n240 B9 64 00\n240 B9 06 02\n240 B9 26 00\n240 B9 65 7F\n240 B9 64 7F\n"
              "240 B9 5B 28\n240 B9 5E 00\n240 B9 5D 00\n240 E9 00 40\n"
              "240 B9 63 18\n240 B9 62 26\n240 B9 06 34\n240 B9 63 7F\n240 B9 62 7F\n"
              "240 B9 63 1C\n240 B9 62 2A\n240 B9 06 01\n240 B9 63 7F\n240 B9 62 7F\n"
              "1920 99 26 64\n2160 99 26 00\n2400 99 2A 64\n2640 99 2A 00\n"
              "2640 end_of_track\n");

    // The clipboard's text is the same set-up.
    const QString text = page()->midiEventsText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("F0 41 10 42 12 40 00 7F 00 41 F7\nB9 00 00\nB9 20 02\nC9 00\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("B9 63 1C\nB9 62 2A\nB9 06 01\nB9 63 7F\nB9 62 7F\n")));
}

TEST_F(DrumSound, IncomingNrpnOnChannel10ShowsOnThePage)
{
    saved.inputName = "Sequencer:out";
    start();
    window->attachInput(input);
    std::thread([&] {
        for (std::vector<std::uint8_t> m : {std::vector<std::uint8_t>{0xB9, 0x63, 0x1A}, {0xB9, 0x62, 0x2A},
                                             {0xB9, 0x06, 0x50}, {0xB8, 0x06, 0x10}})
            input.play(m);
    }).join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return page()->edits().find(4, 0, 42) != nullptr; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(page()->note(), 42);
    EXPECT_EQ(valueText(DrumParameter::Level), QStringLiteral("80"));
}

}  // namespace
}  // namespace padscope::test
