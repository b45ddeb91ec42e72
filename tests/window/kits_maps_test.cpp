#include "catalogue/drum_names.h"
#include "catalogue/kits.h"
#include "core/midi/press_messages.h"
#include "tests/window/window_fixture.h"

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
    EXPECT_EQ(midiBytes(sent()), "C9 0D");
    EXPECT_EQ(labelText(49), "14");
    EXPECT_EQ(shownCaption(pad(39)), "House Snare 1");
    expectCaptions(13, 4);
    // The current kit again: the same program change, the same names.
    forget();
    QTest::mouseClick(kitButton("HOUSE"), Qt::LeftButton);
    EXPECT_EQ(sent(), std::vector<std::uint32_t>{packed(programChangeMessage(13))});
    expectCaptions(13, 4);
}

TEST_F(KitsAndMaps, HouseThenSc55BlanksThePadsAndKeepsTheKit)
{
    QTest::mouseClick(kitButton("HOUSE"), Qt::LeftButton);
    forget();
    QTest::mouseClick(mapRadio(1), Qt::LeftButton);
    EXPECT_EQ(window->currentProgram(), 13);
    EXPECT_EQ(labelText(49), "14");
    EXPECT_EQ(sent(), std::vector<std::uint32_t>{packed(programChangeMessage(13))});
    for (int k = 1; k <= 128; ++k)
        EXPECT_EQ(pad(k)->text(), "") << k;
    EXPECT_FALSE(kitButton("HOUSE")->isEnabled());
    EXPECT_EQ(labelText(74), "SC-55");
    // A pad still plays, with a blank name.
    QTest::mousePress(pad(37), Qt::LeftButton);
    EXPECT_EQ(labelText(52), "");
    EXPECT_EQ(sent().back(), packed(shortMessage(kStatusNoteOn, 36, 100)));
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

TEST_F(KitsAndMaps, EveryMapEnablesExactlyItsKitsAndShowsItsNames)
{
    struct Shown {
        int radio, map;
        const char* name;
        const char* kick;   // pad 37, note 36
        const char* snare;  // pad 39, note 38
    };
    constexpr Shown kMaps[] = {
        {2, 3, "SC-88Pro", "Standard 1 Kick 1", "Standard 1 Snare 1"},
        {3, 2, "SC-88", "Standard 1 Kick 1", "Standard 1 Snare 1"},
        {4, 1, "SC-55", "Kick Drum 1", "Snare Drum 1"},
        {5, 0, "TG-300B(XG)", "Standard 1 Kick 1", "Standard 1 Snare 1"},
        {1, 4, "SC-8850", "Standard 1 Kick 1", "Standard 1 Snare 1"},
    };
    for (const Shown& m : kMaps) {
        forget();
        QTest::mouseClick(radio(m.radio), Qt::LeftButton);
        EXPECT_EQ(window->currentMap(), m.map);
        EXPECT_EQ(labelText(74), m.name) << "RadioButton" << m.radio;
        EXPECT_EQ(shownCaption(pad(37)), m.kick) << m.name;
        EXPECT_EQ(shownCaption(pad(39)), m.snare) << m.name;
        EXPECT_EQ(midiBytes(sent()), "C9 00") << m.name;
        expectEnabledKits(m.map);
    }
    EXPECT_EQ(shownCaption(pad(1)), "[88] Standard 1 Kick 1");
    EXPECT_EQ(shownCaption(pad(128)), "[Pro] House Snare 2");
}

// A few kits as the module and the user see them.
TEST_F(KitsAndMaps, KitButtonsSendTheirProgramAndShowItsNames)
{
    QTest::mouseClick(button(141), Qt::LeftButton);  // "TR-808"
    EXPECT_EQ(midiBytes(sent()), "C9 19");
    EXPECT_EQ(labelText(49), "26");
    EXPECT_EQ(shownCaption(pad(37)), "TR-808 Kick 1");
    EXPECT_EQ(shownCaption(pad(43)), "TR-808 Closed Hi-Hat 2");
    EXPECT_EQ(shownCaption(pad(128)), "[88] Slappy");

    forget();
    QTest::mouseClick(radio(4), Qt::LeftButton);  // SC-55: the same kit, its own names
    EXPECT_EQ(shownCaption(pad(37)), "808 Bass Drum");
    EXPECT_EQ(shownCaption(pad(43)), "808 CHH");
    QTest::mouseClick(button(167), Qt::LeftButton);  // "CM64/32L"
    EXPECT_EQ(midiBytes(sent()), "C9 19, C9 7F");
    EXPECT_EQ(labelText(49), "128");
}

TEST_F(KitsAndMaps, TypedCharacterSelectsAKitAndSpaceSelectsItTwice)
{
    QPushButton* room = kitButton("ROOM");
    room->setFocus();
    QTest::keyClick(room, Qt::Key_X);
    EXPECT_EQ(sent(), std::vector<std::uint32_t>{packed(programChangeMessage(8))});
    forget();
    QTest::keyClick(room, Qt::Key_Space);  // a character, and a click as well
    EXPECT_EQ(sent(), (std::vector<std::uint32_t>{packed(programChangeMessage(8)), packed(programChangeMessage(8))}));
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
