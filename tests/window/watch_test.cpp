// Watching an input: what arrives on channel 10 shows on the window, sends
// nothing of its own, and with Thru goes on to the output unchanged.
#include "ui/interface_language.h"
#include "core/failure.h"
#include "ui/port_menu.h"
#include "tests/support/scripted_input.h"
#include "tests/window/window_fixture.h"

#include <QAction>
#include <QMenu>
#include <QTest>

#include <thread>

namespace padscope::test {
namespace {

class Watch : public WindowFixture {
protected:
    ScriptedInput input{{"Keys", "Sequencer:out"}};

    // The window closes its input as it goes, so it goes first.
    ~Watch() override { window.reset(); }

    void startWatching(const std::string& remembered = "Sequencer:out")
    {
        saved.inputName = remembered;
        start();
        window->attachInput(input);
        forget();
    }
    // Plays the messages in from another thread, as RtMidi does, and waits
    // until the window has taken them.
    void play(const std::vector<std::vector<std::uint8_t>>& messages)
    {
        std::thread([&] {
            for (const auto& m : messages)
                input.play(m);
        }).join();
        QCoreApplication::processEvents();
    }
    QAction* menuAction(const QString& text)
    {
        auto* ports = window->findChild<PortMenu*>();
        ports->popup(QPoint());
        for (QAction* action : ports->menu()->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }
};

TEST_F(Watch, ChannelTenShowsKitPadAndNameWithoutSending)
{
    startWatching();
    EXPECT_EQ(input.opens, std::vector<int>{1});
    EXPECT_TRUE(button(130)->isChecked());

    play({{0xC9, 25}, {0x99, 36, 100}});
    EXPECT_TRUE(button(141)->isChecked());  // "TR-808"
    EXPECT_FALSE(button(130)->isChecked());
    EXPECT_EQ(labelText(49), "26");
    EXPECT_TRUE(pad(37)->isDown());
    EXPECT_EQ(labelText(52), "TR-808 Kick 1");
    EXPECT_EQ(shownCaption(pad(37)), "TR-808 Kick 1");

    play({{0x99, 36, 0}, {0x99, 38, 90}});
    EXPECT_FALSE(pad(37)->isDown());
    EXPECT_TRUE(pad(39)->isDown());
    play({{0x89, 38, 0}});
    EXPECT_FALSE(pad(39)->isDown());

    // Bank Select LSB 1 picks "SC-55 Map", as the program sends it.
    play({{0xB9, 0x20, 1}});
    EXPECT_TRUE(radio(4)->isChecked());
    EXPECT_EQ(labelText(74), "SC-55");

    // Other channels change nothing.
    play({{0xC8, 0}, {0x98, 40, 100}, {0xB8, 0x20, 3}});
    EXPECT_FALSE(pad(41)->isDown());
    EXPECT_TRUE(button(141)->isChecked());
    EXPECT_TRUE(radio(4)->isChecked());

    // A GS Reset brings back "STANDARD 1" and lets go of held pads.
    play({{0x99, 36, 100}, {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}});
    EXPECT_TRUE(button(130)->isChecked());
    EXPECT_EQ(labelText(49), "1");
    EXPECT_FALSE(pad(37)->isDown());
    play({{0xC9, 25}, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}});
    EXPECT_TRUE(button(130)->isChecked());

    EXPECT_TRUE(output.events().empty());  // thru is off
}

TEST_F(Watch, ThruPassesEveryMessageOnInOrderAndPressesStillGoOut)
{
    saved.thru = true;
    startWatching();
    EXPECT_TRUE(window->thru());
    const std::vector<std::uint8_t> reset{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
    play({{0xC9, 25}, {0x99, 36, 100}, {0x92, 60, 64}, reset, {0xF8}, {0x89, 36, 0}});
    ASSERT_EQ(output.events().size(), 6u);
    EXPECT_EQ(packed(output.events()[0].message), 0x19C9u);
    EXPECT_EQ(packed(output.events()[1].message), 0x642499u);
    EXPECT_EQ(packed(output.events()[2].message), 0x403C92u);
    EXPECT_EQ(byteList(output.events()[3].message), reset);
    EXPECT_EQ(byteList(output.events()[4].message), std::vector<std::uint8_t>{0xF8});
    EXPECT_EQ(packed(output.events()[5].message), 0x2489u);

    // The program's own press in between, then more from the input.
    forget();
    QTest::mousePress(pad(37), Qt::LeftButton);
    QTest::mouseRelease(pad(37), Qt::LeftButton);
    const std::size_t pressed = output.events().size();
    EXPECT_GT(pressed, 2u);
    play({{0x99, 42, 80}});
    ASSERT_EQ(output.events().size(), pressed + 1);
    EXPECT_EQ(packed(output.events().back().message), 0x502A99u);
}

TEST_F(Watch, MenuListsInputsAndThruAndTheChoiceIsSavedAtClose)
{
    startWatching("");
    QAction* none = menuAction(QStringLiteral("なし"));
    ASSERT_NE(none, nullptr);
    EXPECT_TRUE(none->isChecked());
    ASSERT_NE(menuAction(QStringLiteral("入力")), nullptr);
    QAction* thru = menuAction(QStringLiteral("Thru"));
    ASSERT_NE(thru, nullptr);
    EXPECT_FALSE(thru->isChecked());
    thru->trigger();
    EXPECT_TRUE(window->thru());

    input.present = {"Keys", "Sequencer:out", "Drum Pads"};
    menuAction(QStringLiteral("Drum Pads"))->trigger();
    EXPECT_EQ(input.opens, std::vector<int>{2});
    EXPECT_TRUE(menuAction(QStringLiteral("Drum Pads"))->isChecked());
    EXPECT_FALSE(menuAction(QStringLiteral("なし"))->isChecked());

    window->close();
    ASSERT_EQ(savedAtClose.size(), 1u);
    EXPECT_EQ(savedAtClose[0].inputName, "Drum Pads");
    EXPECT_TRUE(savedAtClose[0].thru);
    EXPECT_EQ(input.closes, 1);
}

TEST_F(Watch, VanishedInputLeavesNoneAndSaysSoOnce)
{
    startWatching();
    play({{0x99, 36, 100}});
    EXPECT_TRUE(pad(37)->isDown());
    input.present = {"Keys"};
    EXPECT_TRUE(menuAction(QStringLiteral("なし"))->isChecked());
    EXPECT_FALSE(pad(37)->isDown());  // its Note Off can never come now
    menuAction(QStringLiteral("なし"));
    ASSERT_EQ(notifier.failures.size(), 1u);
    EXPECT_EQ(notifier.failures[0], Failure::InputGone);
    window->close();
    EXPECT_EQ(savedAtClose.at(0).inputName, "");
}

// An input that could not be connected, told later from the input's own
// thread, is left as one that has gone: none chosen, none remembered.
TEST_F(Watch, InputThatFailsToConnectLeavesNone)
{
    startWatching();
    ASSERT_TRUE(menuAction(QStringLiteral("Sequencer:out"))->isChecked());
    std::thread([this] { output.portFailureHandler()(Failure::InputOpenFailed, "refused"); }).join();
    QCoreApplication::processEvents();
    EXPECT_TRUE(menuAction(QStringLiteral("なし"))->isChecked());
    EXPECT_EQ(input.closes, 1);
    EXPECT_EQ(notifier.failures, std::vector<Failure>{Failure::InputOpenFailed});
    window->close();
    EXPECT_EQ(savedAtClose.at(0).inputName, "");
}

TEST_F(Watch, EnglishMenu)
{
    const InterfaceTranslation english(Language::English);
    ASSERT_TRUE(english.loaded());
    startWatching("");
    EXPECT_NE(menuAction(QStringLiteral("Input")), nullptr);
    EXPECT_NE(menuAction(QStringLiteral("None")), nullptr);
    EXPECT_NE(menuAction(QStringLiteral("Thru")), nullptr);
}

}  // namespace
}  // namespace padscope::test
