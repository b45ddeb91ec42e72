// Runs padscope-drumtable as a user would: the default listing, --help, the
// choice of map and kit, the REAPER folder, the messages for bad input, and
// output that cannot be written.

#include "catalogue/drum_names.h"
#include "tests/support/sound_font_builder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <sstream>
#include <string>

namespace padscope {
namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out, err;
};

// `inChild` runs in the tool's process before it starts: a limit, a closed
// standard output.
ToolRun drumtable(const QStringList& arguments, const std::function<void()>& inChild = {})
{
    QProcess process;
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(QStringLiteral(PADSCOPE_DRUMTABLE), arguments);
    // A hang fails the test instead of holding the run.
    if (!process.waitForFinished(120000)) {
        ADD_FAILURE() << "padscope-drumtable did not end";
        process.kill();
        process.waitForFinished(-1);
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
}

std::size_t lineCount(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(DrumtableTool, EditsPrintEachEditedKitsSetUpAndSayWhenThereAreNone)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("padscope.ini"));
    {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[gen]\r\nbank=4\r\n\r\n[drumsound]\r\n4.0=38:pitch=52,pan=20\r\n0.25=36:delay=3\r\n1.0=\r\n");
    }
    const ToolRun xg = drumtable({"--edits", "--settings", ini, "--map", "tg300b", "--kit", "TR-808"});
    EXPECT_EQ(xg.exitCode, 0) << xg.err;
    EXPECT_EQ(xg.out,
              "# TG-300B(XG) map, kit 26 TR-808\n"
              "F0 41 10 42 12 40 00 7F 00 41 F7\nB9 00 00\nB9 20 00\nC9 19\n"
              "B9 4E 40\nB9 4D 40\nB9 4C 40\nB9 48 40\nB9 4B 40\nB9 49 40\nB9 47 40\nB9 4A 40\nB9 01 00\n"
              "B9 65 00\nB9 64 00\nB9 06 02\nB9 26 00\nB9 65 7F\nB9 64 7F\n"
              "B9 5B 28\nB9 5E 00\nB9 5D 00\nE9 00 40\n"
              "B9 63 1F\nB9 62 24\nB9 06 03\nB9 63 7F\nB9 62 7F\n");
    const ToolRun both = drumtable({"--edits", "--settings", ini});
    EXPECT_EQ(both.exitCode, 0);
    EXPECT_NE(both.out.find("\n\n# SC-8850 map, kit 1 STANDARD 1\n"), std::string::npos);
    EXPECT_NE(both.out.find("B9 63 18\nB9 62 26\nB9 06 34\nB9 63 1C\nB9 62 26\nB9 06 14\nB9 63 7F\nB9 62 7F\n"),
              std::string::npos);

    const ToolRun none = drumtable({"--edits", "--settings", ini, "--map", "sc55"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err, "padscope-drumtable: no drum sound edits in " + ini.toStdString() + "\n");
    EXPECT_EQ(drumtable({"--edits", "--format", "midnam"}).exitCode, 2);
    EXPECT_EQ(drumtable({"--settings", ini}).exitCode, 2);
}

TEST(DrumtableTool, DefaultListingIsTheTableUnchanged)
{
    std::ostringstream table;
    writeDrumTable(table);
    const ToolRun run = drumtable({});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, table.str());
    EXPECT_EQ(lineCount(run.out), 12416u);
    EXPECT_EQ(drumtable({"--format", "table"}).out, table.str());

    const ToolRun sc55 = drumtable({"--map=sc55"});
    EXPECT_EQ(lineCount(sc55.out), 1280u);
    EXPECT_EQ(sc55.out.substr(0, sc55.out.find('\n')), "0\t0\t1\tNothing");
}

TEST(DrumtableTool, HelpListsEveryOption)
{
    const ToolRun run = drumtable({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.starts_with("Usage: padscope-drumtable [OPTION]...\n"));
    for (std::string_view text : {"-f, --format FORMAT", "table", "midnam", "reaper", "ins", "-m, --map MAP",
                                  "sc8850, sc88pro, sc88,\n                       sc55 or tg300b", "-k, --kit KIT",
                                  "-o, --output PATH", "-s, --synth-kits", "-S, --soundfont FILE", "-h, --help",
                                  "Exit status:"})
        EXPECT_NE(run.out.find(text), std::string::npos) << text;
    EXPECT_EQ(drumtable({"-h"}).out, run.out);

    const ToolRun version = drumtable({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    const QRegularExpression versionLine(QStringLiteral("\\Apadscope-drumtable [0-9]+\\.[0-9]+\\.[0-9]+\n\\z"));
    EXPECT_TRUE(versionLine.match(QString::fromStdString(version.out)).hasMatch()) << version.out;
    EXPECT_EQ(drumtable({"-v"}).out, version.out);
    EXPECT_TRUE(drumtable({"--map", "sc55", "--"}).out == drumtable({"--map", "sc55"}).out) << "-- ends the options";
}

TEST(DrumtableTool, ChosenKitAndMap)
{
    const ToolRun one = drumtable({"--format", "reaper", "--map", "sc8850", "--kit", "sfx 2"});
    EXPECT_EQ(one.exitCode, 0);
    EXPECT_TRUE(one.out.starts_with("# MIDI note/CC name map\n31 Acoustic Bass Mute Noise\n"));
    EXPECT_EQ(lineCount(one.out), 61u);

    const ToolRun midnam = drumtable({"-f", "midnam", "-m", "tg300b", "-k", "26"});
    EXPECT_EQ(midnam.exitCode, 0);
    EXPECT_NE(midnam.out.find("<Patch Number=\"26\" Name=\"TR-808\" ProgramChange=\"25\">"), std::string::npos);
    EXPECT_EQ(midnam.out.find("<Patch Number=\"1\""), std::string::npos);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath("reaper/names");
    EXPECT_EQ(drumtable({"--format", "reaper", "--output", folder}).exitCode, 0);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 97);
    EXPECT_TRUE(QFile::exists(folder + "/sc8850-026-tr-808.txt"));
    EXPECT_TRUE(QFile::exists(folder + "/tg300b-128-cm64-32l.txt"));

    const QString ins = dir.filePath("drums.ins");
    EXPECT_EQ(drumtable({"--format", "ins", "--map", "sc88", "-o", ins}).exitCode, 0);
    QFile file(ins);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("\r\n[Padscope SC-88 Drums]\r\nPatch[2]=Padscope SC-88 Drum Kits\r\n"));
}

TEST(DrumtableTool, BadInputIsRefusedWithAMessage)
{
    struct Case {
        QStringList arguments;
        int exitCode;
        std::string_view message;
    };
    const Case cases[] = {
        {{"--map", "sc99"}, 2, "padscope-drumtable: unknown map \"sc99\" (use sc8850, sc88pro, sc88, sc55 or tg300b)\n"
                               "Try 'padscope-drumtable --help'.\n"},
        {{"--format", "midi"}, 2, "padscope-drumtable: unknown format \"midi\" (use table, midnam, reaper or ins)\n"
                                  "Try 'padscope-drumtable --help'.\n"},
        {{"--kit", "129"}, 2, "padscope-drumtable: unknown kit \"129\" (use a program number 1-128 or a kit button's caption)\n"
                              "Try 'padscope-drumtable --help'.\n"},
        {{"--kit"}, 2, "padscope-drumtable: option --kit needs a value\nTry 'padscope-drumtable --help'.\n"},
        {{"--verbose"}, 2, "padscope-drumtable: unknown option \"--verbose\"\nTry 'padscope-drumtable --help'.\n"},
        {{"--", "--map", "sc55"}, 2, "padscope-drumtable: unexpected argument \"--map\"\nTry 'padscope-drumtable --help'.\n"},
        {{"--map", "sc55", "--kit", "HOUSE"}, 2, "padscope-drumtable: kit 14 (HOUSE) is not in the SC-55 map\n"},
        {{"--kit", "4"}, 2, "padscope-drumtable: kit 4 (Program 4) is in no map\n"},
        {{"--format", "reaper", "--map", "sc55"}, 2,
         "padscope-drumtable: --format reaper writes one file per kit; give a folder with --output, or one kit with "
         "--map and --kit\n"},
        {{"--format", "ins", "--output", "/nonexistent-folder/drums.ins"}, 1,
         "padscope-drumtable: cannot write /nonexistent-folder/drums.ins: No such file or directory\n"},
    };
    for (const auto& c : cases) {
        const ToolRun run = drumtable(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.err, c.message);
        EXPECT_TRUE(run.out.empty()) << c.arguments.join(' ').toStdString();
    }
}

TEST(DrumtableTool, SynthKitsTellOwnKitsAndStandInsOfAChosenFont)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString font = dir.filePath("kits.sf2");
    {
        QFile file(font);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const std::string bytes = test::soundFontWith(
            {{0, "Standard", {{35, 81, 0}}}, {25, "TR-808", {{35, 81, 0}}}, {56, "SFX", {{35, 81, 0}}}}, 1);
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    const ToolRun run = drumtable({"--synth-kits", "--soundfont", font});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    for (std::string_view line : {"STANDARD 1\town\tStandard\n", "STANDARTD 2\tstand-in STANDARD 1\tStandard\n",
                                  "CR-78\tstand-in TR-808\tTR-808\n", "VOICE\tstand-in SFX\tSFX\n",
                                  "GAMELAN 1\tstand-in STANDARD 1 (another family)\tStandard\n"})
        EXPECT_NE(run.out.find(line), std::string::npos) << line;
    EXPECT_EQ(lineCount(run.out), 39u);
    EXPECT_TRUE(run.out.ends_with("# 3 own, 30 stand-ins of the same family, 5 of another family, 0 silent\n"));

    const ToolRun missing = drumtable({"--synth-kits", "--soundfont", font, "--soundfont", "/nonexistent/kits.sf2"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err,
              "padscope-drumtable: the SoundFont /nonexistent/kits.sf2 cannot be used: there is no such file\n");
    // A FIFO or a device is no font, and is never opened for reading; a
    // name's control characters are not sent to the terminal.
    const QString fifo = dir.filePath("pipe.sf2"), device = dir.filePath("device.sf2");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), device));
    const QString odd = dir.filePath(QStringLiteral("\x1b[2J\x1b]0;title\x07.sf2"));
    const ToolRun special = drumtable({"--synth-kits", "--soundfont", fifo, "--soundfont", device, "--soundfont", odd});
    EXPECT_EQ(special.exitCode, 1);
    EXPECT_EQ(special.err, "padscope-drumtable: the SoundFont " + fifo.toStdString() + " cannot be used: it is not a file\n"
                           "padscope-drumtable: the SoundFont " + device.toStdString() + " cannot be used: it is not a file\n"
                           "padscope-drumtable: the SoundFont " + dir.path().toStdString()
                               + "/\\x1B[2J\\x1B]0;title\\x07.sf2 cannot be used: there is no such file\n");
    EXPECT_EQ(drumtable({"--soundfont", font}).err, "padscope-drumtable: --soundfont goes with --synth-kits\n");
    EXPECT_EQ(drumtable({"--synth-kits", "--map", "sc55"}).err, "padscope-drumtable: --synth-kits takes only --soundfont\n");
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

TEST(DrumtableTool, OutputThatCannotBeWrittenFailsWithAMessageAndKeepsTheOldFile)
{
    const auto expectFailure = [](const ToolRun& run, const std::string& message) {
        EXPECT_EQ(run.exitCode, 1) << message;
        EXPECT_EQ(run.err, message);
    };
    // Standard output: a full device, closed, a pipe nobody reads.
    expectFailure(drumtable({"--version"}, [] { ::dup2(::open("/dev/full", O_WRONLY), STDOUT_FILENO); }),
                  "padscope-drumtable: cannot write standard output: No space left on device\n");
    expectFailure(drumtable({"--help"}, [] { ::close(STDOUT_FILENO); }),
                  "padscope-drumtable: cannot write standard output: Bad file descriptor\n");
    int unread[2];
    ASSERT_EQ(::pipe(unread), 0);
    ::close(unread[0]);
    expectFailure(drumtable({}, [&] { ::dup2(unread[1], STDOUT_FILENO); }),
                  "padscope-drumtable: cannot write standard output: Broken pipe\n");
    ::close(unread[1]);

    // A file on a disk that fills up after 64 KB.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("drums.midnam");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the names written last time\n");
    }
    const auto diskFull = [] {
        const rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
    };
    expectFailure(drumtable({"--format", "midnam", "--output", path}, diskFull),
                  "padscope-drumtable: cannot write " + path.toStdString() + ": File too large\n");
    EXPECT_EQ(contents(path), "the names written last time\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"drums.midnam"});
}

TEST(DrumtableTool, ReplacedFileKeepsItsModeAndItsLink)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("drums.ins"), link = dir.filePath("link.ins");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        ASSERT_TRUE(old.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    }
    ASSERT_TRUE(QFile::link(path, link));
    EXPECT_EQ(drumtable({"--format", "ins", "--map", "sc55", "--output", link}).exitCode, 0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(contents(path).startsWith("; Drum kits")) << contents(path).left(40).toStdString();
    struct stat written {};
    ASSERT_EQ(::stat(path.toLocal8Bit().constData(), &written), 0);
    EXPECT_EQ(written.st_mode & 0777, 0640u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST(DrumtableTool, FindIgnoresCaseBlanksAndHyphensAndKitsAMapDoesNotOffer)
{
    const ToolRun claps = drumtable({"--find", "909 CLAP", "--map", "sc8850"});
    EXPECT_EQ(claps.exitCode, 0);
    EXPECT_EQ(claps.out, "11\t39\t4\tTR-909 Claps\n"
                         "13\t39\t4\tTR-909 Claps\n"
                         "59\t89\t4\tReverse 909 Claps\n"
                         "62\t92\t4\tTR-909 Claps\n");
    // The SC-8850 map holds CM64/32L too, but its kit button is off there.
    EXPECT_EQ(drumtable({"-F", "cmkick"}).out, "127\t35\t0\tCM Kick Drum\n"
                                                "127\t36\t0\tCM Kick Drum\n"
                                                "127\t35\t1\tCM Kick Drum\n"
                                                "127\t36\t1\tCM Kick Drum\n");
}

TEST(DrumtableTool, FindPassesOverTheSoundSetMarksUnlessOneIsTyped)
{
    EXPECT_EQ(drumtable({"--find", "standard 1 kick 1", "--map", "sc88pro"}).out,
              "0\t0\t3\t[88] Standard 1 Kick 1\n0\t36\t3\tStandard 1 Kick 1\n1\t0\t3\t[88] Standard 1 Kick 1\n"
              "2\t0\t3\t[88] Standard 1 Kick 1\n8\t0\t3\t[88] Standard 1 Kick 1\n16\t0\t3\t[88] Standard 1 Kick 1\n"
              "32\t0\t3\t[88] Standard 1 Kick 1\n40\t0\t3\t[88] Standard 1 Kick 1\n48\t0\t3\t[88] Standard 1 Kick 1\n"
              "50\t39\t3\tStandard 1 Kick 1\n50\t40\t3\t[88] Standard 1 Kick 1\n");
    EXPECT_EQ(drumtable({"--find", "[88]STANDARD 1 KICK 1", "--map", "sc88pro"}).out,
              "0\t0\t3\t[88] Standard 1 Kick 1\n1\t0\t3\t[88] Standard 1 Kick 1\n2\t0\t3\t[88] Standard 1 Kick 1\n"
              "8\t0\t3\t[88] Standard 1 Kick 1\n16\t0\t3\t[88] Standard 1 Kick 1\n32\t0\t3\t[88] Standard 1 Kick 1\n"
              "40\t0\t3\t[88] Standard 1 Kick 1\n48\t0\t3\t[88] Standard 1 Kick 1\n50\t40\t3\t[88] Standard 1 Kick 1\n");

    // "55", "88" and "Pro" stand only in marks; "Nothing" is no sound; blanks
    // alone find nothing.
    for (const char* text : {"55", "88", "pro", "nothing", " - "}) {
        const ToolRun none = drumtable({"--find", text});
        EXPECT_EQ(none.exitCode, 1) << text;
        EXPECT_EQ(none.out, "") << text;
    }
    const ToolRun withKit = drumtable({"--find", "clap", "--kit", "26"});
    EXPECT_EQ(withKit.exitCode, 2);
    EXPECT_EQ(withKit.err, "padscope-drumtable: --find takes no --format or --kit\n");

    // Into a file instead of standard output; nothing found writes no file.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const ToolRun toFile = drumtable({"--find", "clap", "--output", dir.filePath("f")});
    EXPECT_EQ(toFile.exitCode, 0) << toFile.err;
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(contents(dir.filePath("f")).toStdString(), drumtable({"--find", "clap"}).out);
    EXPECT_EQ(drumtable({"--find", "nothing", "--output", dir.filePath("g")}).exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("g")));
}

// --output lands where a shell's ">" would write, and refuses what it refuses.
TEST(DrumtableTool, OutputFollowsLinksAsTheShellDoes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto at = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    const std::string table = drumtable({"--map", "sc55", "--kit", "1"}).out;
    const auto write = [](const QString& path, const std::function<void()>& inChild = {}) {
        return drumtable({"--map", "sc55", "--kit", "1", "--output", path}, inChild);
    };

    // A link to a file not made yet: the file is made, the link stays.
    ASSERT_TRUE(QFile::link(QStringLiteral("newfile.txt"), at("dang")));
    EXPECT_EQ(write(at("dang")).exitCode, 0);
    EXPECT_TRUE(QFileInfo(at("dang")).isSymLink());
    EXPECT_EQ(contents(at("newfile.txt")).toStdString(), table);

    // A loop of links.
    ASSERT_TRUE(QFile::link(at("loop-b"), at("loop-a")));
    ASSERT_TRUE(QFile::link(at("loop-a"), at("loop-b")));
    const ToolRun loop = write(at("loop-a"));
    EXPECT_EQ(loop.exitCode, 1);
    EXPECT_EQ(loop.err, "padscope-drumtable: cannot write " + at("loop-a").toStdString()
                            + ": Too many levels of symbolic links\n");
    EXPECT_EQ(QFileInfo(at("loop-a")).symLinkTarget(), at("loop-b"));

    // A name as long as a name may be.
    const QString longName = dir.filePath(QString(250, QLatin1Char('n')));
    EXPECT_EQ(write(longName).exitCode, 0);
    EXPECT_EQ(contents(longName).toStdString(), table);

    // Control characters in a name are not sent to the terminal as they are.
    const ToolRun escaped = write(dir.filePath(QStringLiteral("no\x1b[2J\x1b]0;title\x07/f")));
    EXPECT_EQ(escaped.err, "padscope-drumtable: cannot write " + dir.path().toStdString()
                               + "/no\\x1B[2J\\x1B]0;title\\x07/f: No such file or directory\n");
    EXPECT_EQ(drumtable({"--map", "\x1b[2J"}).err,
              "padscope-drumtable: unknown map \"\\x1B[2J\" (use sc8850, sc88pro, sc88, sc55 or tg300b)\n"
              "Try 'padscope-drumtable --help'.\n");

    // A read-only file in a folder its user may write, written by that user
    // (root may write any file, as with ">").
    const QString readOnly = at("read-only.txt");
    {
        QFile old(readOnly);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("kept\n");
    }
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    constexpr uid_t kUser = 65534;
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(dir.path().toLocal8Bit().constData(), kUser, kUser), 0);
        ASSERT_EQ(::chown(readOnly.toLocal8Bit().constData(), kUser, kUser), 0);
    }
    const ToolRun refused = write(readOnly, [] {
        if (::geteuid() == 0 && (::setgid(kUser) != 0 || ::setuid(kUser) != 0))
            ::_exit(3);
    });
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "padscope-drumtable: cannot write " + readOnly.toStdString() + ": Permission denied\n");
    EXPECT_EQ(contents(readOnly), "kept\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 6);
}

}  // namespace
}  // namespace padscope
