#include "core/settings/settings.h"

#include <gtest/gtest.h>

namespace padscope {
namespace {

constexpr std::string_view kWrittenFromNothing =
    "[window]\r\nHeight=636\r\nWidth=810\r\nTop=159\r\nLeft=193\r\n\r\n"
    "[dev]\r\nnum=0\r\ngakki=none\r\n\r\n"
    "[gen]\r\nbank=4\r\n\r\n";

TEST(Settings, NoFileGivesTheDefaultsAndWritesThreeSections)
{
    const Settings s = readSettings(IniFile{});
    // height, width, top, left, port, map, port name, input port, thru, SoundFont, language, edits
    EXPECT_EQ(s, (Settings{636, 810, 159, 193, 0, 4, "none", "", false, "", "", {}}));

    IniFile file;
    writeSettings(file, s);
    EXPECT_EQ(file.serialize(), kWrittenFromNothing);
}

TEST(Settings, InputSectionIsWrittenOnlyOnceUsedAndLeavesTheOthersAlone)
{
    // Unused, the input adds nothing to a file of an older run.
    const std::string older = std::string(kWrittenFromNothing) + "[mine]\r\nkeep=1\r\n\r\n";
    IniFile file = IniFile::parse(older);
    Settings s = readSettings(file);
    EXPECT_EQ(s.inputName, "");
    EXPECT_FALSE(s.thru);
    writeSettings(file, s);
    EXPECT_EQ(file.serialize(), older);

    s.inputName = "Sequencer:out";
    writeSettings(file, s);
    EXPECT_EQ(file.serialize(), older + "[input]\r\nport=Sequencer:out\r\nthru=0\r\n\r\n");

    // Once there, it stays, also for none, and reads back.
    s.inputName.clear();
    s.thru = true;
    writeSettings(file, s);
    const std::string used = older + "[input]\r\nport=\r\nthru=1\r\n\r\n";
    EXPECT_EQ(file.serialize(), used);
    IniFile again = IniFile::parse(used);
    EXPECT_EQ(readSettings(again), s);
    writeSettings(again, readSettings(again));
    EXPECT_EQ(again.serialize(), used);
}

TEST(Settings, SoundFontHasASectionOfItsOwnAndLeavesTheRestByteForByte)
{
    // Unchosen, nothing is added; chosen, only its own section changes.
    const std::string others = std::string(kWrittenFromNothing) +
                               "[input]\r\nport=a=b\r\nthru=1\r\n\r\n[mine]\r\nKeep=1\r\nno key here\r\n\r\n";
    IniFile file = IniFile::parse(others);
    Settings s = readSettings(file);
    EXPECT_EQ(s.soundFont, "");
    writeSettings(file, s);
    EXPECT_EQ(file.serialize(), others);

    s.soundFont = "/home/me/My Fonts/ドラム キット.sf2";
    writeSettings(file, s);
    const std::string chosen = others + "[synth]\r\nsoundfont=/home/me/My Fonts/ドラム キット.sf2\r\n\r\n";
    EXPECT_EQ(file.serialize(), chosen);
    IniFile again = IniFile::parse(chosen);
    EXPECT_EQ(readSettings(again), s);

    // Found in any letter case, rewritten in place; its neighbours stay.
    IniFile written = IniFile::parse(others + "[Synth]\r\nGain=3\r\nSoundFont = /old.sf3\r\nlast=1\r\n\r\n");
    EXPECT_EQ(readSettings(written).soundFont, "/old.sf3");
    writeSettings(written, s);
    EXPECT_EQ(written.serialize(),
              others + "[Synth]\r\nGain=3\r\nsoundfont=/home/me/My Fonts/ドラム キット.sf2\r\nlast=1\r\n\r\n");
}

TEST(Settings, LanguageIsWrittenOnlyOnceChosenBesideTheMap)
{
    IniFile file = IniFile::parse(kWrittenFromNothing);
    Settings s = readSettings(file);
    EXPECT_EQ(s.language, "");
    writeSettings(file, s);
    EXPECT_EQ(file.serialize(), kWrittenFromNothing);

    s.language = "en";
    writeSettings(file, s);
    const std::string chosen = "[window]\r\nHeight=636\r\nWidth=810\r\nTop=159\r\nLeft=193\r\n\r\n"
                               "[dev]\r\nnum=0\r\ngakki=none\r\n\r\n"
                               "[gen]\r\nbank=4\r\nlanguage=en\r\n\r\n";
    EXPECT_EQ(file.serialize(), chosen);
    IniFile again = IniFile::parse(chosen);
    EXPECT_EQ(readSettings(again), s);
}

TEST(Settings, DrumSoundEditsHaveTheirOwnSectionOnlyOnceThereAreAny)
{
    const std::string others = std::string(kWrittenFromNothing) + "[mine]\r\nkeep=1\r\n\r\n";
    IniFile file = IniFile::parse(others);
    Settings s = readSettings(file);
    EXPECT_TRUE(s.drumEdits.empty());
    writeSettings(file, s);
    EXPECT_EQ(file.serialize(), others);

    s.drumEdits.set(4, 25, 38, DrumParameter::Pan, 20);
    s.drumEdits.set(4, 25, 38, DrumParameter::Pitch, 52);
    s.drumEdits.set(4, 25, 36, DrumParameter::Reverb, 0);
    s.drumEdits.set(0, 0, 42, DrumParameter::Delay, 127);
    writeSettings(file, s);
    const std::string edited = others + "[drumsound]\r\n0.0=42:delay=127\r\n4.25=36:reverb=0 38:pitch=52,pan=20\r\n\r\n";
    EXPECT_EQ(file.serialize(), edited);
    IniFile again = IniFile::parse(edited);
    EXPECT_EQ(readSettings(again), s);

    // A kit reset keeps its key, empty; a whole reset keeps the section.
    s.drumEdits.resetKit(4, 25);
    writeSettings(again, s);
    EXPECT_EQ(again.serialize(), others + "[drumsound]\r\n0.0=42:delay=127\r\n4.25=\r\n\r\n");
    s.drumEdits.resetKit(0, 0);
    writeSettings(again, s);
    EXPECT_EQ(readSettings(again), s);
}

TEST(Settings, DrumSoundItemsThatMakeNoSenseArePassedOver)
{
    // Out of range, unknown, a delay for the SC-55, broken pieces: only the
    // good items survive, and a second spelling of a kit folds into one key.
    IniFile file = IniFile::parse(
        "[DrumSound]\r\n4.0=36:level=90,pan=300,tone=3 128:pan=1 x:pan=2 38: 40:pan 42:pan=-1 44:reverb=5\r\n"
        "1.0=36:delay=5,chorus=7\r\n9.0=36:pan=1\r\n4.200=36:pan=1\r\nnokey\r\n4.00=46:pitch=64\r\n");
    const Settings s = readSettings(file);
    DrumEdits expected;
    expected.set(4, 0, 36, DrumParameter::Level, 90);
    expected.set(4, 0, 44, DrumParameter::Reverb, 5);
    expected.set(4, 0, 46, DrumParameter::Pitch, 64);
    expected.set(1, 0, 36, DrumParameter::Chorus, 7);
    EXPECT_EQ(s.drumEdits, expected);
    writeSettings(file, s);
    EXPECT_EQ(readSettings(IniFile::parse(file.serialize())).drumEdits, expected);
    EXPECT_EQ(file.readString(kDrumSoundSection, "4.00", "?"), "");
}

TEST(Settings, LowerCaseKeyIsReadAndRewrittenInPlaceAsTheProgramSpellsIt)
{
    IniFile file = IniFile::parse("[window]\r\nleft=5\r\nheight=700\r\n; mine\r\n");
    Settings s = readSettings(file);
    EXPECT_EQ(s.height, 700);
    EXPECT_EQ(s.left, 5);

    s.height = 720;
    writeSettings(file, s);
    EXPECT_EQ(file.serialize(),
              "[window]\r\nLeft=5\r\nHeight=720\r\nWidth=810\r\nTop=159\r\n\r\n"
              "[dev]\r\nnum=0\r\ngakki=none\r\n\r\n"
              "[gen]\r\nbank=4\r\n\r\n");
}

TEST(Settings, ReadsHexBlanksAndMixedCaseAndDefaultsOnLetters)
{
    for (const char* width : {"0x320", "x320", "$320", "X320", "0X320"}) {
        const IniFile file = IniFile::parse(std::string("[window]\nwidth=") + width);
        EXPECT_EQ(readSettings(file).width, 800) << width;
    }
    const IniFile spaced = IniFile::parse("[Window]\r\n  WiDtH   =   0x320  \r\n[DEV]\r\nNUM = 2\r\n");
    EXPECT_EQ(readSettings(spaced).width, 800);
    EXPECT_EQ(readSettings(spaced).deviceIndex, 2);
    EXPECT_EQ(readSettings(IniFile::parse("[window]\nwidth=eight hundred")).width, 810);
}

TEST(Settings, MapOutsideTheFiveMapsBecomesSc8850)
{
    for (const char* bank : {"7", "-1", "5", "2147483647", "-2147483648", "$FFFFFFFF", "map"}) {
        const IniFile file = IniFile::parse(std::string("[gen]\r\nbank=") + bank);
        EXPECT_EQ(readSettings(file).map, 4) << bank;
    }
    for (int map = 0; map < 5; ++map) {
        const IniFile file = IniFile::parse("[gen]\r\nbank=" + std::to_string(map));
        EXPECT_EQ(readSettings(file).map, map);
    }
}

TEST(Settings, WhatIsWrittenReadsBackAndRewritesToTheSameBytes)
{
    Settings s;
    s.height = -2147483647 - 1;
    s.width = 2147483647;
    s.top = -20;
    s.left = 0;
    s.deviceIndex = 3;
    s.map = 0;
    s.deviceName = "\x83\x54\x83\x45\x83\x93\x83\x68 MIDI 1";

    IniFile file = IniFile::parse("[gen]\nbank=1\n[window]\nTop=4\nextra=kept\n");
    writeSettings(file, s);
    const std::string written = file.serialize();
    const IniFile reread = IniFile::parse(written);
    EXPECT_EQ(readSettings(reread), s);

    IniFile again = reread;
    writeSettings(again, readSettings(reread));
    EXPECT_EQ(again.serialize(), written);
    EXPECT_EQ(reread.readString("window", "extra", ""), "kept");
}

TEST(Settings, DeviceNameLosesOnlyWhatTheFileCannotHold)
{
    Settings s;
    s.deviceName = "  Port\r\n2 ";
    IniFile file;
    writeSettings(file, s);
    EXPECT_EQ(readSettings(IniFile::parse(file.serialize())).deviceName, "Port  2");
    EXPECT_EQ(file.serialize().find("Port\r"), std::string::npos);
}

}  // namespace
}  // namespace padscope
