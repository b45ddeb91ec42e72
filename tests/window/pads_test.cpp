#include "catalogue/drum_names.h"
#include "core/midi/press_messages.h"
#include "tests/window/window_fixture.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTabWidget>
#include <QTest>

#include <chrono>
#include <thread>

using namespace padscope;
using namespace padscope::test;

namespace {

class Pads : public WindowFixture {
protected:
    void SetUp() override
    {
        start();
        forget();
    }
    void keyDown(QWidget* w, bool autoRepeat = false)
    {
        QKeyEvent e(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), autoRepeat);
        QApplication::sendEvent(w, &e);
    }
    void keyUp(QWidget* w, bool autoRepeat = false)
    {
        QKeyEvent e(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), autoRepeat);
        QApplication::sendEvent(w, &e);
    }
    // A key event as X11 delivers it: with its server time stamp, and Qt's
    // auto-repeat flag left unset, as it often is for repeats.
    void timedKey(QWidget* w, QEvent::Type type, ulong timestamp, Qt::Key key = Qt::Key_A, quint32 scanCode = 38)
    {
        QKeyEvent e(type, key, Qt::NoModifier, scanCode, 0, 0, QStringLiteral("a"));
        e.setTimestamp(timestamp);
        QApplication::sendEvent(w, &e);
    }
    // Runs the event loop for that long as an idle program does, timers on
    // time (QTest::qWait sleeps in steps of 10 ms).
    static void runEventLoopFor(std::chrono::milliseconds time)
    {
        QElapsedTimer running;
        running.start();
        while (running.elapsed() < time.count()) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    }
    std::size_t noteOns() const
    {
        std::size_t n = 0;
        for (auto w : sent())
            n += (w & 0xFF) == 0x99 && (w >> 16) != 0;
        return n;
    }
    std::vector<std::uint32_t> releases() const
    {
        std::vector<std::uint32_t> r;
        for (auto w : sent())
            if ((w & 0xFF) == 0x99 && (w >> 16) == 0)
                r.push_back(w);
        return r;
    }
};

}  // namespace

TEST_F(Pads, PadKPlaysNoteKMinusOneWithTheWholeSequence)
{
    for (int k : {1, 37, 61, 128}) {
        forget();
        QTest::mousePress(pad(k), Qt::LeftButton);
        const auto expected = pressMessages(defaultControllerValues(), k - 1, 0, 4);
        EXPECT_EQ(sent(), packed(expected)) << "pad " << k;
        QTest::mouseRelease(pad(k), Qt::LeftButton);
        EXPECT_EQ(sent().back(), packed(releaseMessage(k - 1))) << "pad " << k;
        EXPECT_EQ(window->currentNote(), k - 1);
    }
    EXPECT_EQ(labelText(49), "1");
    EXPECT_EQ(labelText(52).toStdString(), drumName(0, 127, 4));
}

// What a MIDI monitor shows for one press and release with the panel as it
// starts, and when the status strip changes: after the 18th message.
TEST_F(Pads, PressSendsTheWholeSequenceAndShowsTheNameBeforeTheLastFive)
{
    QTest::mousePress(pad(37), Qt::LeftButton);
    QTest::mouseRelease(pad(37), Qt::LeftButton);
    EXPECT_EQ(midiBytes(sent()),
              "B9 4E 40, B9 4D 40, B9 4C 40, B9 48 40, B9 4B 40, B9 49 40, B9 47 40, B9 4A 40, "
              "B9 01 00, B9 00 00, B9 20 04, C9 00, B9 65 00, B9 64 00, B9 06 02, B9 26 00, "
              "B9 65 7F, B9 64 7F, B9 5B 28, B9 5E 00, B9 5D 00, E9 00 40, 99 24 64, 99 24 00");
    EXPECT_EQ(labelText(49), "1");
    EXPECT_EQ(labelText(52), "Standard 1 Kick 1");

    std::vector<QString> shownAtEachMessage;
    output.beforeSend = [&] { shownAtEachMessage.push_back(labelText(52)); };
    QTest::mousePress(pad(39), Qt::LeftButton);
    output.beforeSend = nullptr;
    std::vector<QString> expected(18, QStringLiteral("Standard 1 Kick 1"));
    expected.resize(23, QStringLiteral("Standard 1 Snare 1"));
    EXPECT_EQ(shownAtEachMessage, expected);
}

TEST_F(Pads, RightAndMiddleButtonsPlayAndRelease)
{
    for (auto mouseButton : {Qt::RightButton, Qt::MiddleButton}) {
        forget();
        QTest::mousePress(pad(39), mouseButton);
        QTest::mouseRelease(pad(39), mouseButton);
        const auto words = sent();
        ASSERT_EQ(words.size(), kPressMessageCount + 1);
        EXPECT_EQ(words[kPressMessageCount - 1], packed(shortMessage(kStatusNoteOn, 38, 100)));
        EXPECT_EQ(words.back(), packed(releaseMessage(38)));
    }
}

TEST_F(Pads, HeldKeyWithAutoRepeatSoundsOnceAndReleasesOnce)
{
    keyDown(pad(37));
    for (int i = 0; i < 20; ++i) {
        // Some platforms pair every repeat with a release flagged as a repeat.
        keyUp(pad(37), true);
        keyDown(pad(37), true);
    }
    EXPECT_EQ(noteOns(), 1u);
    EXPECT_TRUE(releases().empty());
    keyUp(pad(37));
    EXPECT_EQ(releases(), std::vector<std::uint32_t>{packed(releaseMessage(36))});
    EXPECT_FALSE(window->keyHeld());
}

TEST_F(Pads, SecondKeyOnTheSamePadIsSilentAndFirstReleaseClearsTheHold)
{
    keyDown(pad(37));
    keyDown(pad(37));  // a second key
    EXPECT_EQ(noteOns(), 1u);
    keyUp(pad(37));
    EXPECT_EQ(releases().size(), 1u);
    keyDown(pad(37), true);  // the other key, still held, repeats: sounds again
    EXPECT_EQ(noteOns(), 2u);
}

TEST_F(Pads, ReleaseOnAnotherPadStopsTheNoteThatWasPlayed)
{
    keyDown(pad(37));
    keyUp(pad(50));  // focus moved in between
    EXPECT_EQ(releases(), std::vector<std::uint32_t>{packed(releaseMessage(36))});
}

TEST_F(Pads, KeyPressOnAnotherPadWhileHeldMovesTheNoteWithoutSounding)
{
    keyDown(pad(37));
    keyDown(pad(50));
    EXPECT_EQ(noteOns(), 1u);
    EXPECT_EQ(window->currentNote(), 49);
    keyUp(pad(50));
    EXPECT_EQ(releases(), std::vector<std::uint32_t>{packed(releaseMessage(49))});
}

TEST_F(Pads, MousePressWhileAKeyHoldsSoundsAndKeepsTheHold)
{
    keyDown(pad(37));
    QTest::mousePress(pad(40), Qt::LeftButton);
    EXPECT_EQ(noteOns(), 2u);
    EXPECT_TRUE(window->keyHeld());
    QTest::mouseRelease(pad(40), Qt::LeftButton);
    EXPECT_TRUE(window->keyHeld());
}

TEST_F(Pads, NoPortOpenDropsTheMessagesButStillShowsTheName)
{
    ports.clear();
    start();
    forget();
    QTest::mousePress(pad(37), Qt::LeftButton);
    EXPECT_TRUE(output.events().empty());
    EXPECT_EQ(labelText(52).toStdString(), drumName(0, 36, 4));
}

// X11 auto-repeat: each repeat is a release and a press of the same key at the
// same time. Those pairs neither stop nor restart the note, however Qt flags
// them; a release with no press at its time is the key going up.
TEST_F(Pads, RepeatPairsWithTheSameTimeStampAreNotReleases)
{
    for (int hold = 0; hold < 3; ++hold) {
        const ulong t = 1000 + 10000 * hold;
        timedKey(pad(37), QEvent::KeyPress, t);
        for (ulong r = 1; r <= 20; ++r) {
            timedKey(pad(37), QEvent::KeyRelease, t + 500 + 33 * r);
            timedKey(pad(37), QEvent::KeyPress, t + 500 + 33 * r);
        }
        EXPECT_EQ(noteOns(), hold + 1u);
        EXPECT_EQ(releases().size(), static_cast<std::size_t>(hold));
        timedKey(pad(37), QEvent::KeyRelease, t + 2000);
        // The real release arrives once nothing pairs with it.
        EXPECT_TRUE(QTest::qWaitFor([&] { return releases().size() == hold + 1u; }));
        EXPECT_FALSE(window->keyHeld());
    }
    EXPECT_EQ(releases(), std::vector<std::uint32_t>(3, packed(releaseMessage(36))));
}

// A busy event loop runs the release's wait late, possibly ahead of the
// repeat's press already queued: the pair still counts as a repeat.
TEST_F(Pads, RepeatPairSurvivesABusyEventLoop)
{
    timedKey(pad(37), QEvent::KeyPress, 100);
    timedKey(pad(37), QEvent::KeyRelease, 600);
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    QCoreApplication::processEvents();  // the overdue wait runs first
    timedKey(pad(37), QEvent::KeyPress, 600);
    EXPECT_TRUE(releases().empty());
    EXPECT_EQ(noteOns(), 1u);
    timedKey(pad(37), QEvent::KeyRelease, 900);
    EXPECT_TRUE(QTest::qWaitFor([&] { return releases().size() == 1u; }));
}

// A release held back still comes first, before the next event on any pad.
TEST_F(Pads, HeldBackReleaseComesBeforeTheNextPadEvent)
{
    timedKey(pad(37), QEvent::KeyPress, 100);
    timedKey(pad(37), QEvent::KeyRelease, 200);
    QTest::mousePress(pad(40), Qt::LeftButton);  // released first, then a new note
    ASSERT_EQ(releases(), std::vector<std::uint32_t>{packed(releaseMessage(36))});
    EXPECT_EQ(noteOns(), 2u);
    EXPECT_FALSE(window->keyHeld());
    QTest::mouseRelease(pad(40), Qt::LeftButton);

    forget();
    timedKey(pad(37), QEvent::KeyPress, 300);
    timedKey(pad(50), QEvent::KeyRelease, 400);  // focus moved before the release
    timedKey(pad(50), QEvent::KeyPress, 401);    // a new press, at another time
    EXPECT_EQ(releases(), std::vector<std::uint32_t>{packed(releaseMessage(36))});
    EXPECT_EQ(noteOns(), 2u);
    EXPECT_EQ(window->currentNote(), 49);

    forget();
    timedKey(pad(50), QEvent::KeyRelease, 500);
    timedKey(pad(50), QEvent::KeyPress, 500, Qt::Key_B);  // another key at the same time
    EXPECT_EQ(releases(), std::vector<std::uint32_t>{packed(releaseMessage(49))});
    EXPECT_EQ(noteOns(), 1u);
}

// Key events spaced in time as a keyboard sends them. A repeat's press comes
// within a few milliseconds of its release; the release is held for 30 ms.
TEST_F(Pads, KeyReleasesAreToldFromRepeatsInRealTime)
{
    // A repeat pair whose press comes 12 ms after its release is still a
    // repeat, every time. A try the machine was too busy to space so is not
    // counted.
    int spaced = 0;
    for (ulong t = 1000; spaced < 5 && t < 30000; t += 1000) {
        forget();
        timedKey(pad(37), QEvent::KeyPress, t);
        timedKey(pad(37), QEvent::KeyRelease, t + 500);
        QElapsedTimer held;
        held.start();
        runEventLoopFor(std::chrono::milliseconds(12));
        timedKey(pad(37), QEvent::KeyPress, t + 500);
        if (held.elapsed() < 25) {
            ++spaced;
            EXPECT_TRUE(releases().empty()) << "try " << t / 1000;
            EXPECT_EQ(noteOns(), 1u) << "try " << t / 1000;
        }
        timedKey(pad(37), QEvent::KeyRelease, t + 900);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !releases().empty(); }));
    }
    EXPECT_EQ(spaced, 5) << "the event loop seldom kept a 25 ms spacing";

    // Two keys on the pad let go 10 ms apart: two note-offs.
    forget();
    timedKey(pad(37), QEvent::KeyPress, 40000);
    timedKey(pad(37), QEvent::KeyPress, 40050, Qt::Key_B, 56);
    timedKey(pad(37), QEvent::KeyRelease, 40200);
    runEventLoopFor(std::chrono::milliseconds(10));
    timedKey(pad(37), QEvent::KeyRelease, 40210, Qt::Key_B, 56);
    EXPECT_TRUE(QTest::qWaitFor([&] { return releases().size() == 2u; }));
    QTest::qWait(50);
    EXPECT_EQ(releases(), std::vector<std::uint32_t>(2, packed(releaseMessage(36))));

    // Left Shift up and right Shift down in the same millisecond: the same
    // key code from two keys, so a release and a new note, not a repeat.
    forget();
    timedKey(pad(37), QEvent::KeyPress, 50000, Qt::Key_Shift, 50);
    timedKey(pad(37), QEvent::KeyRelease, 50300, Qt::Key_Shift, 50);
    runEventLoopFor(std::chrono::milliseconds(5));
    timedKey(pad(37), QEvent::KeyPress, 50300, Qt::Key_Shift, 62);
    EXPECT_EQ(releases(), std::vector<std::uint32_t>{packed(releaseMessage(36))});
    EXPECT_EQ(noteOns(), 2u);
}

// As the manual tells it: Down and Right both step to the next note (Right
// does not jump to the next octave column), Up and Left go back, and
// Ctrl+Tab on a pad turns to the Effects page.
TEST_F(Pads, ArrowsStepOneNoteAndControlTabTurnsThePage)
{
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    pad(37)->setFocus();
    QTest::keyClick(pad(37), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), pad(38));
    QTest::keyClick(pad(38), Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), pad(39));
    QTest::keyClick(pad(39), Qt::Key_Left);
    QTest::keyClick(pad(38), Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), pad(37));

    auto* pages = find<QTabWidget>(QStringLiteral("PageControl1"));
    QTest::keyClick(pad(37), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(pages->currentIndex(), 1);
}
