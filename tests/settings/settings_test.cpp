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
    // height, width, top, left, port, map, port name, input port, thru, SoundFont, language
    EXPECT_EQ(s, (Settings{636, 810, 159, 193, 0, 4, "none", "", false, "", ""}));

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
