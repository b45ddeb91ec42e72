// What the command line chooses: the language, help and version; anything
// else is ignored. And the program's answer when that cannot be printed.
#include "app/command_line.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <functional>
#include <utility>

using namespace padscope;

namespace {

CommandLine parse(std::vector<std::string_view> arguments)
{
    return parseCommandLine(arguments);
}

}  // namespace

TEST(CommandLineLanguage, OnlyAKnownCodeChoosesALanguage)
{
    EXPECT_EQ(parse({}).language, std::nullopt);
    EXPECT_EQ(parse({"--language", "ja"}).language, Language::Japanese);
    EXPECT_EQ(parse({"--language", "en"}).language, Language::English);
    EXPECT_EQ(parse({"--language=en"}).language, Language::English);
    // The last choice wins.
    EXPECT_EQ(parse({"--language", "en", "--language", "ja"}).language, Language::Japanese);
    EXPECT_TRUE(parse({"--language", "en"}).note.empty());
}

TEST(CommandLineLanguage, UnknownOrMissingLanguageIsIgnoredWithOneLineNote)
{
    const CommandLine unknown = parse({"--language", "fr"});
    EXPECT_EQ(unknown.language, std::nullopt);
    EXPECT_EQ(unknown.note, "padscope: unknown language \"fr\" (en or ja); ignored\n");

    // Qt's own spelling of a locale is not a language code here.
    EXPECT_EQ(parse({"--language=en_US"}).language, std::nullopt);
    // An unknown code after a known one leaves the desktop's language.
    EXPECT_EQ(parse({"--language", "en", "--language", "xx"}).language, std::nullopt);

    const CommandLine missing = parse({"--language"});
    EXPECT_EQ(missing.language, std::nullopt);
    EXPECT_EQ(missing.note, "padscope: --language needs en or ja; ignored\n");

    // An option after --language is not taken for its code.
    const CommandLine help = parse({"--language", "--help"});
    EXPECT_TRUE(help.showHelp);
    EXPECT_EQ(help.language, std::nullopt);
    EXPECT_FALSE(help.note.empty());
}

TEST(CommandLineLanguage, OtherArgumentsAreIgnored)
{
    const CommandLine line = parse({"song.mid", "--fullscreen", "-style", "fusion", "--language", "en", "%U"});
    EXPECT_EQ(line.language, Language::English);
    EXPECT_FALSE(line.showHelp);
    EXPECT_FALSE(line.showVersion);
    EXPECT_TRUE(line.note.empty());
    EXPECT_NE(helpText().find("--language en|ja"), std::string::npos);
}

// An installed program never keeps its settings beside itself, whatever
// folder it may write: the help must not promise otherwise.
TEST(CommandLineHelp, NamesThePerUserSettingsFileOfAnInstalledProgram)
{
    const std::string help = helpText();
    EXPECT_NE(help.find("an installed program keeps them in\n$XDG_CONFIG_HOME/Padscope/padscope.ini"),
              std::string::npos);
    EXPECT_EQ(help.find("beside the program when that folder is\nwritable"), std::string::npos);
}

TEST(CommandLineSoundFont, RepeatedFontsKeepTheirOrderAndAMissingFileIsNoted)
{
    const CommandLine line = parse({"--soundfont", "base.sf2", "--language", "en", "--soundfont=top.sf3"});
    EXPECT_EQ(line.soundFonts, (std::vector<std::string>{"base.sf2", "top.sf3"}));
    EXPECT_EQ(line.language, Language::English);
    EXPECT_TRUE(line.note.empty());

    // An option after --soundfont is not taken for its file.
    const CommandLine missing = parse({"--soundfont", "--language", "en"});
    EXPECT_TRUE(missing.soundFonts.empty());
    EXPECT_EQ(missing.language, Language::English);
    EXPECT_EQ(missing.note, "padscope: --soundfont needs a file\n");
    EXPECT_EQ(parse({"--soundfont="}).note, "padscope: --soundfont needs a file\n");
}

// The answer to --help or --version that cannot be written is an error, as a
// shell's own commands make it.
TEST(CommandLineHelp, UnwritableStandardOutputFailsWithAMessage)
{
    const auto run = [](const char* option, const std::function<void()>& inChild) {
        QProcess process;
        process.setChildProcessModifier(inChild);
        process.start(QStringLiteral(PADSCOPE_PROGRAM), {QString::fromLatin1(option)});
        EXPECT_TRUE(process.waitForFinished(-1));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << option;
        return std::pair{process.exitCode(), process.readAllStandardError().toStdString()};
    };
    const auto full = run("--help", [] { ::dup2(::open("/dev/full", O_WRONLY), STDOUT_FILENO); });
    EXPECT_EQ(full.first, 1);
    EXPECT_EQ(full.second, "padscope: cannot write standard output: No space left on device\n");
    const auto closed = run("--version", [] { ::close(STDOUT_FILENO); });
    EXPECT_EQ(closed.first, 1);
    EXPECT_EQ(closed.second, "padscope: cannot write standard output: Bad file descriptor\n");
    EXPECT_EQ(run("--version", [] {}), (std::pair{0, std::string()}));
}
