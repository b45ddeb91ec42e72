#include "drum_names.h"
#include "press_messages.h"
#include "window_fixture.h"

#include <QKeyEvent>
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
    void timedKey(QWidget* w, QEvent::Type type, ulong timestamp, Qt::Key key = Qt::Key_A)
    {
        QKeyEvent e(type, key, Qt::NoModifier, 38, 0, 0, QStringLiteral("a"));
        e.setTimestamp(timestamp);
        QApplication::sendEvent(w, &e);
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
        EXPECT_EQ(sent(), std::vector<std::uint32_t>(expected.begin(), expected.end())) << "pad " << k;
        QTest::mouseRelease(pad(k), Qt::LeftButton);
        EXPECT_EQ(sent().back(), releaseMessage(k - 1)) << "pad " << k;
        EXPECT_EQ(window->currentNote(), k - 1);
    }
    EXPECT_EQ(labelText(49), "1");
    EXPECT_EQ(labelText(52).toStdString(), drumName(0, 127, 4));
}

TEST_F(Pads, RightAndMiddleButtonsPlayAndRelease)
{
    for (auto mouseButton : {Qt::RightButton, Qt::MiddleButton}) {
        forget();
        QTest::mousePress(pad(39), mouseButton);
        QTest::mouseRelease(pad(39), mouseButton);
        const auto words = sent();
        ASSERT_EQ(words.size(), kPressMessageCount + 1);
        EXPECT_EQ(words[kPressMessageCount - 1], shortMessage(kStatusNoteOn, 38, 100));
        EXPECT_EQ(words.back(), releaseMessage(38));
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
    EXPECT_EQ(releases(), std::vector<std::uint32_t>{releaseMessage(36)});
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
    EXPECT_EQ(releases(), std::vector<std::uint32_t>{releaseMessage(36)});
}

TEST_F(Pads, KeyPressOnAnotherPadWhileHeldMovesTheNoteWithoutSounding)
{
    keyDown(pad(37));
    keyDown(pad(50));
    EXPECT_EQ(noteOns(), 1u);
    EXPECT_EQ(window->currentNote(), 49);
    keyUp(pad(50));
    EXPECT_EQ(releases(), std::vector<std::uint32_t>{releaseMessage(49)});
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
    EXPECT_EQ(releases(), std::vector<std::uint32_t>(3, releaseMessage(36)));
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
    ASSERT_EQ(releases(), std::vector<std::uint32_t>{releaseMessage(36)});
    EXPECT_EQ(noteOns(), 2u);
    EXPECT_FALSE(window->keyHeld());
    QTest::mouseRelease(pad(40), Qt::LeftButton);

    forget();
    timedKey(pad(37), QEvent::KeyPress, 300);
    timedKey(pad(50), QEvent::KeyRelease, 400);  // focus moved before the release
    timedKey(pad(50), QEvent::KeyPress, 401);    // a new press, at another time
    EXPECT_EQ(releases(), std::vector<std::uint32_t>{releaseMessage(36)});
    EXPECT_EQ(noteOns(), 2u);
    EXPECT_EQ(window->currentNote(), 49);

    forget();
    timedKey(pad(50), QEvent::KeyRelease, 500);
    timedKey(pad(50), QEvent::KeyPress, 500, Qt::Key_B);  // another key at the same time
    EXPECT_EQ(releases(), std::vector<std::uint32_t>{releaseMessage(49)});
    EXPECT_EQ(noteOns(), 1u);
}
