#include "core/settings/ini_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

namespace padscope {
namespace {

using Entry = IniFile::Entry;

TEST(IniFileRead, AcceptsEveryLineEnd)
{
    for (const char* text : {"[s]\r\na=1\r\nb=2\r\n", "[s]\ra=1\rb=2\r", "[s]\na=1\nb=2\n",
                             "[s]\r\na=1\rb=2", "\n\r[s]\n\ra=1\r\n\r\nb=2"}) {
        const IniFile ini = IniFile::parse(text);
        EXPECT_EQ(ini.entries(), (std::vector<Entry>{{"s", "a", "1"}, {"s", "b", "2"}})) << text;
    }
}

TEST(IniFileRead, TrimsLinesAndSkipsCommentsBlanksAndStrayLines)
{
    const IniFile ini = IniFile::parse(
        "before=1\r\n"
        " \t\x01[ Window ]\x7f \r\n"
        "; height=1\r\n"
        "   \r\n"
        "\theight\t =  700 \x02\r\n"
        "no equals here\r\n"
        "name= a = b \r\n");
    EXPECT_EQ(ini.entries(), (std::vector<Entry>{{"Window", "height", "700"},
                                                 {"Window", std::nullopt, "no equals here"},
                                                 {"Window", "name", "a = b"}}));
    EXPECT_EQ(ini.readInteger("window", "before", -1), -1);
}

TEST(IniFileRead, MatchesNamesInAnyLetterCase)
{
    const IniFile ini = IniFile::parse("[WiNdOw]\nHEIGHT=1\n[dev]\nGakki=SC-88\n");
    EXPECT_EQ(ini.readInteger("window", "height", 0), 1);
    EXPECT_EQ(ini.readInteger("WINDOW", "Height", 0), 1);
    EXPECT_EQ(ini.readString("DEV", "gAKKI", "none"), "SC-88");
    EXPECT_FALSE(ini.hasKey("window", "heigh"));
    EXPECT_FALSE(ini.hasKey("windows", "height"));
}

TEST(IniFileRead, RepeatedSectionGoesOnAndFirstRepeatedKeyWins)
{
    const IniFile ini = IniFile::parse("[a]\nx=1\n[b]\ny=2\n[A]\nx=3\nz=4\n");
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(ini.readInteger("a", "x", 0), 1);
    EXPECT_EQ(ini.readInteger("a", "z", 0), 4);
}

TEST(IniFileRead, ByteOrderMarkIsPassedOverAndWrittenAgain)
{
    IniFile ini = IniFile::parse("\xEF\xBB\xBF[window]\r\nheight=700\r\n[gen]\r\nbank=1\r\n");
    EXPECT_EQ(ini.readInteger("window", "height", 636), 700);
    ini.writeInteger("window", "Height", 640);
    EXPECT_EQ(ini.serialize(), "\xEF\xBB\xBF[window]\r\nHeight=640\r\n\r\n[gen]\r\nbank=1\r\n\r\n");

    // Only at the very start, and only a whole one.
    EXPECT_EQ(IniFile::parse("\xEF\xBB[s]\na=1\n").entries(), std::vector<Entry>{});
    EXPECT_EQ(IniFile::parse("\n\xEF\xBB\xBF[s]\na=1\n").entries(), std::vector<Entry>{});
}

TEST(IniFileRead, ManySectionsInAnyLetterCase)
{
    // 150,001 sections, each named again later in other letters: a read
    // that searched all earlier sections at each one would take minutes.
    constexpr int kCount = 150'001;
    std::string text;
    for (int i = 0; i < kCount; ++i)
        text += "[Sec" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    for (int i = 0; i < kCount; i += 1000)
        text += "[sEC" + std::to_string(i) + "]\nlater=1\n";
    IniFile ini = IniFile::parse(text);
    EXPECT_EQ(ini.sectionNames().size(), std::size_t{kCount});
    EXPECT_EQ(ini.sectionNames()[12345], "Sec12345");
    EXPECT_EQ(ini.readInteger("SEC150000", "k", -1), 150000);
    EXPECT_EQ(ini.readInteger("sec2000", "later", 0), 1);
    EXPECT_FALSE(ini.hasKey("sec2001", "later"));

    ini.writeInteger("sec7", "Added", 1);
    ini.writeInteger("New", "k", 2);
    EXPECT_EQ(ini.sectionNames().size(), std::size_t{kCount + 1});
    const IniFile reread = IniFile::parse(ini.serialize());
    EXPECT_EQ(reread, ini);
    EXPECT_EQ(reread.readInteger("SEC7", "added", 0), 1);
    EXPECT_EQ(reread.readInteger("new", "K", 0), 2);
}

TEST(IniFileRead, StringValuesAreTrimmedAndMayBeEmpty)
{
    const IniFile ini = IniFile::parse("[dev]\ngakki=  Roland SC-88  \nempty=\n");
    EXPECT_EQ(ini.readString("dev", "gakki", "none"), "Roland SC-88");
    EXPECT_EQ(ini.readString("dev", "empty", "none"), "");
    EXPECT_EQ(ini.readString("dev", "missing", "none"), "none");
}

TEST(IniInteger, FollowsTheFileRules)
{
    struct Case {
        const char* text;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"0", 0},           {"700", 700},       {"+5", 5},          {"-5", -5},
        {"0008", 8},        {"0x320", 800},     {"0X320", 800},     {"x320", 800},
        {"X320", 800},      {"$320", 800},      {"$aBc", 0xABC},    {"-0x10", -16},
        {"+$10", 16},       {"2147483647", INT_MAX},                {"-2147483648", INT_MIN},
        {"$7FFFFFFF", INT_MAX},                 {"-$80000000", INT_MIN},
        {"2147483648", std::nullopt},           {"-2147483649", std::nullopt},
        {"$80000000", std::nullopt},            {"$FFFFFFFF", std::nullopt},
        {"99999999999999999999", std::nullopt}, {"", std::nullopt}, {"- 5", std::nullopt},
        {"+", std::nullopt}, {"--5", std::nullopt}, {"$-5", std::nullopt}, {"0x", std::nullopt},
        {"$", std::nullopt}, {"x", std::nullopt},  {"0xg", std::nullopt}, {"12a", std::nullopt},
        {"1e3", std::nullopt}, {"abc", std::nullopt}, {"1 2", std::nullopt}, {"0x 1", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseIniInteger(c.text), c.value) << '"' << c.text << '"';
}

TEST(IniInteger, ReadFallsBackToTheDefault)
{
    const IniFile ini = IniFile::parse("[w]\na= - 5\nb=\nc=wide\nd = -0x7B \n");
    EXPECT_EQ(ini.readInteger("w", "a", 810), 810);
    EXPECT_EQ(ini.readInteger("w", "b", 810), 810);
    EXPECT_EQ(ini.readInteger("w", "c", 810), 810);
    EXPECT_EQ(ini.readInteger("w", "d", 810), -123);
    EXPECT_EQ(ini.readInteger("x", "a", 810), 810);
}

TEST(IniFileWrite, RendersSectionsWithCrLfAndAnEmptyLineAfterEach)
{
    IniFile ini;
    EXPECT_EQ(ini.serialize(), "");
    ini.writeInteger("window", "Height", -7);
    ini.writeString("dev", "gakki", "x");
    ini.writeInteger("window", "Width", 0x20);
    EXPECT_EQ(ini.serialize(), "[window]\r\nHeight=-7\r\nWidth=32\r\n\r\n[dev]\r\ngakki=x\r\n\r\n");
}

TEST(IniFileWrite, ReplacesInPlaceAppendsAndDropsWhatWasSkipped)
{
    IniFile ini = IniFile::parse(
        "; written by hand\n"
        "orphan=1\n"
        "[Window]\n"
        "height = 700\n"
        "\n"
        "note without equals\n"
        "left=3\n"
        "[gen]\n"
        "bank=2\n");
    ini.writeInteger("window", "Height", 640);
    ini.writeInteger("WINDOW", "Top", 10);
    ini.writeString("dev", "gakki", "SC-8850");
    EXPECT_EQ(ini.serialize(),
              "[Window]\r\nHeight=640\r\nnote without equals\r\nleft=3\r\nTop=10\r\n\r\n"
              "[gen]\r\nbank=2\r\n\r\n"
              "[dev]\r\ngakki=SC-8850\r\n\r\n");
}

TEST(IniFileWrite, NeverBreaksALineAndRefusesKeysThatWouldNotReadBack)
{
    IniFile ini;
    EXPECT_TRUE(ini.writeString(" dev\r\n", "gakki", "  Line one\r\nline\ttwo\r [x]=; "));
    EXPECT_EQ(ini.serialize(), "[dev]\r\ngakki=Line one  line\ttwo  [x]=;\r\n\r\n");
    EXPECT_EQ(IniFile::parse(ini.serialize()).readString("dev", "gakki", ""),
              "Line one  line\ttwo  [x]=;");

    EXPECT_FALSE(ini.writeString("dev", "a=b", "1"));
    EXPECT_FALSE(ini.writeString("dev", ";a", "1"));
    EXPECT_FALSE(ini.writeString("dev", "[a", "1]"));
    EXPECT_EQ(ini.entries().size(), 1u);
}

TEST(IniFileWrite, OddNamesAndValuesSurviveARoundTrip)
{
    IniFile ini;
    ini.writeString("a]b", "k[1]", "=[x]=");
    ini.writeString("[x", "", "value");
    ini.writeString("dev", "gakki", "\x83\x54\x83\x45\x83\x93\x83\x68");
    const IniFile reread = IniFile::parse(ini.serialize());
    EXPECT_EQ(reread, ini);
    EXPECT_EQ(reread.readString("a]b", "k[1]", ""), "=[x]=");
    EXPECT_EQ(reread.readString("[x", "", ""), "value");
    EXPECT_EQ(reread.serialize(), ini.serialize());
}

}  // namespace
}  // namespace padscope
