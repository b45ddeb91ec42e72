// Fires many random user events at the window and checks after each one
// that what reached the port and what the pads show still make sense.
#include "ui/controller_page.h"
#include "catalogue/drum_names.h"
#include "catalogue/kits.h"
#include "core/midi/press_messages.h"
#include "tests/window/window_fixture.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <climits>
#include <random>

using namespace padscope;
using namespace padscope::test;

TEST_F(WindowFixture, RandomEventsKeepTheMessagesAndCaptionsRight)
{
    constexpr unsigned kSeed = 20261207;
    constexpr int kEvents = 10000;
    start();
    std::mt19937 random(kSeed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const Qt::MouseButton mouseButtons[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};

    std::size_t checked = 0;  // events of output already verified
    for (int i = 0; i < kEvents; ++i) {
        const int what = pick(0, 9);
        QPushButton* target = pad(pick(1, 128));
        switch (what) {
        case 0: case 1:
            QTest::mousePress(target, mouseButtons[pick(0, 2)]);
            break;
        case 2: case 3:
            QTest::mouseRelease(target, mouseButtons[pick(0, 2)]);
            break;
        case 4: case 5: {
            QKeyEvent e(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), pick(0, 1) == 1);
            QApplication::sendEvent(target, &e);
            break;
        }
        case 6: {
            QKeyEvent e(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), pick(0, 3) == 0);
            QApplication::sendEvent(target, &e);
            break;
        }
        case 7:
            QTest::mouseClick(button(130 + pick(0, 37)), Qt::LeftButton);
            break;
        case 8:
            if (pick(0, 3) == 0)
                QTest::mouseClick(radio(pick(1, 5)), Qt::LeftButton);
            else {
                QScrollBar* bar = window->controllerPage()->bar(static_cast<std::size_t>(pick(0, 14)));
                bar->setValue(pick(bar->minimum(), bar->maximum()));
            }
            break;
        case 9:
            if (pick(0, 9) == 0)
                QTest::mouseClick(button(129), Qt::LeftButton);
            break;
        }

        // Every Note On with a velocity is preceded by its 22 messages, built
        // from what the panel, the kit and the map show at that moment.
        const auto& events = output.events();
        for (; checked < events.size(); ++checked) {
            const auto& e = events[checked];
            if (e.kind != RecordingOutput::Event::Kind::Message || e.message.isSysex())
                continue;
            const std::uint32_t w = packed(e.message);
            if ((w & 0xFF) == kStatusNoteOn && (w >> 16) != 0) {
                ASSERT_GE(checked, kPressMessageCount - 1) << "seed " << kSeed;
                const int note = static_cast<int>((w >> 8) & 0x7F);
                const auto expected = pressMessages(window->controllerPage()->values(), note,
                                                    window->currentProgram(), window->currentMap());
                for (std::size_t j = 0; j < kPressMessageCount; ++j)
                    ASSERT_EQ(events[checked + 1 - kPressMessageCount + j].message, expected[j])
                        << "seed " << kSeed << " event " << i << " message " << j;
            }
        }
        {
            for (int k = 1; k <= 128; ++k)
                ASSERT_EQ(shownCaption(pad(k)),
                          drumName(window->currentProgram(), k - 1, window->currentMap()))
                    << "seed " << kSeed << " event " << i << " pad " << k;
        }
    }
}

// Saved numbers far beyond any screen: the window fits on the desktop, and
// what is saved back fits too (nothing overflows on the way).
TEST_F(WindowFixture, HugeSavedGeometryFitsTheDesktop)
{
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    for (const int value : {INT_MAX, INT_MIN, 2147483000, 20000}) {
        saved.height = saved.width = saved.top = saved.left = value;
        start();
        window->show();
        QApplication::processEvents();
        const QRect frame = window->frameGeometry();
        EXPECT_LE(frame.width(), desktop.width()) << value;
        EXPECT_LE(frame.height(), desktop.height()) << value;
        EXPECT_TRUE(desktop.contains(frame.topLeft())) << value;
        window->close();
        ASSERT_FALSE(savedAtClose.empty());
        const Settings& s = savedAtClose.back();
        EXPECT_TRUE(desktop.contains(QPoint(s.left, s.top))) << value;
        EXPECT_LE(s.width, desktop.width()) << value;
        EXPECT_GE(s.height, 1) << value;
        EXPECT_LE(s.height, desktop.height()) << value;
        window.reset();
    }
}
