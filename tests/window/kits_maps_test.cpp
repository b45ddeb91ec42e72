#include "drum_names.h"
#include "kits.h"
#include "press_messages.h"
#include "window_fixture.h"

#include <QTest>

using namespace padscope;
using namespace padscope::test;

namespace {

class KitsAndMaps : public WindowFixture {
protected:
    void SetUp() override
    {
        start();
        forget();
    }
    QPushButton* kitButton(std::string_view caption) const
    {
        for (const auto& kit : kKitButtons)
            if (kit.caption == caption)
                return button(kit.button);
        ADD_FAILURE() << "no kit " << caption;
        return nullptr;
    }
    QRadioButton* mapRadio(int map) const
    {
        return find<QRadioButton>(QString::fromUtf8(findMap(map)->radioButton.data()));
    }
    void expectCaptions(int program, int map) const
    {
        for (int k = 1; k <= 128; ++k)
            ASSERT_EQ(shownCaption(pad(k)), drumName(program, k - 1, map)) << "pad " << k;
    }
    void expectEnabledKits(int map) const
    {
        for (const auto& kit : kKitButtons)
            EXPECT_EQ(button(kit.button)->isEnabled(), kit.enabledInMap[map])
                << kit.caption << " in map " << map;
    }
};

}  // namespace

TEST_F(KitsAndMaps, StartUpShowsStandard1InTheSavedMap)
{
    expectCaptions(0, 4);
    EXPECT_EQ(labelText(49), "1");
    EXPECT_EQ(labelText(74), "SC-8850");
    EXPECT_TRUE(radio(1)->isChecked());
    expectEnabledKits(4);
    EXPECT_EQ(labelText(52), "");
}

TEST_F(KitsAndMaps, KitClickSendsOneProgramChangeAndRecaptions)
{
    QTest::mouseClick(kitButton("HOUSE"), Qt::LeftButton);
    EXPECT_EQ(sent(), std::vector<std::uint32_t>{programChangeMessage(13)});
    EXPECT_EQ(labelText(49), "14");
    expectCaptions(13, 4);
    // The current kit again: the same program change, the same names.
    forget();
    QTest::mouseClick(kitButton("HOUSE"), Qt::LeftButton);
    EXPECT_EQ(sent(), std::vector<std::uint32_t>{programChangeMessage(13)});
    expectCaptions(13, 4);
}

TEST_F(KitsAndMaps, HouseThenSc55BlanksThePadsAndKeepsTheKit)
{
    QTest::mouseClick(kitButton("HOUSE"), Qt::LeftButton);
    forget();
    QTest::mouseClick(mapRadio(1), Qt::LeftButton);
    EXPECT_EQ(window->currentProgram(), 13);
    EXPECT_EQ(labelText(49), "14");
    EXPECT_EQ(sent(), std::vector<std::uint32_t>{programChangeMessage(13)});
    for (int k = 1; k <= 128; ++k)
        EXPECT_EQ(pad(k)->text(), "") << k;
    EXPECT_FALSE(kitButton("HOUSE")->isEnabled());
    EXPECT_EQ(labelText(74), "SC-55");
    // A pad still plays, with a blank name.
    QTest::mousePress(pad(37), Qt::LeftButton);
    EXPECT_EQ(labelText(52), "");
    EXPECT_EQ(sent().back(), shortMessage(kStatusNoteOn, 36, 100));
}

TEST_F(KitsAndMaps, Cm64ThenSc8850KeepsItsNamesWhileItsButtonIsDisabled)
{
    QTest::mouseClick(mapRadio(1), Qt::LeftButton);
    QTest::mouseClick(kitButton("CM64/32L"), Qt::LeftButton);
    QTest::mouseClick(mapRadio(4), Qt::LeftButton);
    EXPECT_EQ(window->currentProgram(), 127);
    EXPECT_EQ(shownCaption(pad(37)), "CM Kick Drum");
    EXPECT_FALSE(kitButton("CM64/32L")->isEnabled());
}

TEST_F(KitsAndMaps, ClickingTheCheckedMapSendsAndChangesNothing)
{
    QTest::mouseClick(mapRadio(4), Qt::LeftButton);
    EXPECT_TRUE(sent().empty());
    EXPECT_TRUE(mapRadio(4)->isChecked());
    EXPECT_EQ(window->currentMap(), 4);
}

TEST_F(KitsAndMaps, EveryMapEnablesExactlyItsKits)
{
    for (int map : {0, 1, 2, 3, 4}) {
        QTest::mouseClick(mapRadio(map), Qt::LeftButton);
        EXPECT_EQ(window->currentMap(), map);
        EXPECT_EQ(labelText(74).toStdString(), findMap(map)->name);
        expectEnabledKits(map);
    }
}

TEST_F(KitsAndMaps, TypedCharacterSelectsAKitAndSpaceSelectsItTwice)
{
    QPushButton* room = kitButton("ROOM");
    room->setFocus();
    QTest::keyClick(room, Qt::Key_X);
    EXPECT_EQ(sent(), std::vector<std::uint32_t>{programChangeMessage(8)});
    forget();
    QTest::keyClick(room, Qt::Key_Space);  // a character, and a click as well
    EXPECT_EQ(sent(), (std::vector<std::uint32_t>{programChangeMessage(8), programChangeMessage(8)}));
}

TEST_F(KitsAndMaps, TheNameWithAnAmpersandIsShownLiterally)
{
    int program = -1, note = -1, map = -1;
    for (const auto& kit : kKitButtons)
        for (int m = 0; m < kMapCount; ++m)
            for (int n = 0; n < 128; ++n)
                if (drumName(kit.program, n, m).find('&') != std::string_view::npos)
                    program = kit.program, note = n, map = m;
    ASSERT_GE(program, 0) << "the table holds no name with an ampersand";
    QTest::mouseClick(mapRadio(map), Qt::LeftButton);
    for (const auto& kit : kKitButtons)
        if (kit.program == program)
            QTest::mouseClick(button(kit.button), Qt::LeftButton);
    EXPECT_EQ(shownCaption(pad(note + 1)), "Reverse R&B Claps");
    QTest::mousePress(pad(note + 1), Qt::LeftButton);
    EXPECT_EQ(labelText(52), "Reverse R&B Claps");
    // No shortcut was registered: Alt+B does not press the pad.
    forget();
    QTest::keyClick(window.get(), Qt::Key_B, Qt::AltModifier);
    EXPECT_TRUE(sent().empty());
}
