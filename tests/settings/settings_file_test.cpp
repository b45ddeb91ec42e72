#include "core/settings/settings.h"
#include "core/settings/settings_file.h"

#include <gtest/gtest.h>

#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>

namespace padscope {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "padscope-settings-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    static void writeBytes(const fs::path& path, std::string_view bytes)
    {
        std::ofstream out(path, std::ios::binary);
        out << bytes;
    }
    static std::string readBytes(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::vector<std::string> filesIn(const fs::path& folder) const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::ranges::sort(names);
        return names;
    }
    SettingsLocation location(bool exeFolderWritable) const
    {
        return {dir_ / "config", [exeFolderWritable](const fs::path&) { return exeFolderWritable; }};
    }
    static IniFile defaultFile()
    {
        IniFile file;
        writeSettings(file, Settings{});
        return file;
    }
    static mode_t modeOf(const fs::path& path)
    {
        struct stat status {};
        EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
        return status.st_mode;
    }

    // Runs `body` in a child process, if asked as an ordinary user when the
    // tests run as root (file permissions do not hold root back), and returns
    // the child's wait status: exit status 0 when `body` returned true.
    static int inChild(const std::function<bool()>& body, bool asUser = true)
    {
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (asUser && ::geteuid() == 0 && (::setgid(kUser) != 0 || ::setuid(kUser) != 0))
                ::_exit(3);
            ::_exit(body() ? 0 : 1);
        }
        int status = -1;
        ::waitpid(pid, &status, 0);
        return status;
    }
    // Hands the file to the user of inChild.
    static void giveToUser(const fs::path& path)
    {
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown(path.c_str(), kUser, kUser), 0);
        }
    }
    static constexpr uid_t kUser = 65534;

    fs::path dir_;
};

TEST(SettingsPath, ReplacesTheExtensionOfTheFileName)
{
    EXPECT_EQ(portableSettingsPath("/opt/pad/app.exe"), fs::path("/opt/pad/app.ini"));
    EXPECT_EQ(portableSettingsPath("/usr/bin/padscope"), fs::path("/usr/bin/padscope.ini"));
    EXPECT_EQ(portableSettingsPath("/a/b.d/padscope"), fs::path("/a/b.d/padscope.ini"));
    EXPECT_EQ(portableSettingsPath("/a/x.tar.gz"), fs::path("/a/x.tar.ini"));
    EXPECT_EQ(portableSettingsPath("/a/.hidden"), fs::path("/a/.ini"));
}

TEST_F(SettingsFileTest, PortableWhenTheExecutablesFolderTakesFilesOrTheFileExists)
{
    const fs::path exe = dir_ / "padscope";
    EXPECT_EQ(settingsPath(exe, location(true)), dir_ / "padscope.ini");
    // The real check on a folder this test may write to.
    EXPECT_EQ(settingsPath(exe, {dir_ / "config", folderAcceptsNewFiles}), dir_ / "padscope.ini");

    writeBytes(dir_ / "padscope.ini", "[gen]\r\nbank=1\r\n");
    EXPECT_EQ(settingsPath(exe, location(false)), dir_ / "padscope.ini");
    EXPECT_FALSE(fs::exists(dir_ / "config"));
}

TEST(SettingsPath, InstalledProgramKeepsItsSettingsPerUser)
{
    // Even root, who may write /usr/bin, gets the per-user file there.
    const SettingsLocation system = systemSettingsLocation();
    if (system.configRoot.empty())
        GTEST_SKIP() << "no per-user configuration folder here";
    for (const char* installed : {"/usr/bin/padscope", "/usr/local/bin/padscope"})
        EXPECT_EQ(settingsPath(installed, system), system.configRoot / "Padscope" / "padscope.ini") << installed;
    EXPECT_EQ(settingsPath(fs::temp_directory_path() / "padscope", system), fs::temp_directory_path() / "padscope.ini");

    // Installed under another prefix, found by its desktop entry.
    const fs::path prefix = fs::temp_directory_path() / ("padscope-prefix-" + std::to_string(::getpid()));
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share" / "applications");
    EXPECT_EQ(settingsPath(prefix / "bin" / "padscope", system), prefix / "bin" / "padscope.ini");
    std::ofstream(prefix / "share" / "applications" / "io.github.padscope.Padscope.desktop") << "[Desktop Entry]\n";
    EXPECT_EQ(settingsPath(prefix / "bin" / "padscope", system), system.configRoot / "Padscope" / "padscope.ini");
    fs::remove_all(prefix);
}

TEST_F(SettingsFileTest, ReadOnlyExecutableFolderUsesTheConfigFolder)
{
    const fs::path expected = dir_ / "config" / "Padscope" / "padscope.ini";
    EXPECT_EQ(settingsPath(dir_ / "padscope", location(false)), expected);
    // Asking where the file is creates nothing; saving creates the folder.
    EXPECT_FALSE(fs::exists(dir_ / "config"));
    EXPECT_TRUE(saveSettingsFile(expected, defaultFile(), location(false)));
    EXPECT_TRUE(fs::is_regular_file(expected));

    // Running as root every existing folder takes files, so the real check is
    // shown refusing folders that are missing or are files.
    EXPECT_FALSE(folderAcceptsNewFiles(dir_ / "missing"));
    writeBytes(dir_ / "plain", "");
    EXPECT_FALSE(folderAcceptsNewFiles(dir_ / "plain"));
    EXPECT_EQ(settingsPath(dir_ / "missing" / "padscope", {dir_ / "config", folderAcceptsNewFiles}),
              expected);
}

TEST_F(SettingsFileTest, UnreadableFilesGiveTheDefaults)
{
    EXPECT_EQ(loadSettingsFile(dir_ / "none.ini"), IniFile{});

    fs::create_directory(dir_ / "folder.ini");
    EXPECT_EQ(loadSettingsFile(dir_ / "folder.ini"), IniFile{});

    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919) % 251 == '[' ? 0 : (i * 7919) % 251);
    writeBytes(dir_ / "garbage.ini", garbage);
    EXPECT_EQ(readSettings(loadSettingsFile(dir_ / "garbage.ini")), Settings{});

    // Up to 4 MiB are read; one byte more and the file is not.
    const std::string tail = "[gen]\nbank=1\n";
    writeBytes(dir_ / "limit.ini", std::string(4 * 1024 * 1024 - tail.size(), '\n') + tail);
    EXPECT_EQ(readSettings(loadSettingsFile(dir_ / "limit.ini")).map, 1);
    writeBytes(dir_ / "big.ini", std::string(4 * 1024 * 1024 + 1 - tail.size(), '\n') + tail);
    EXPECT_EQ(loadSettingsFile(dir_ / "big.ini"), IniFile{});
}

// Only a missing file is created; one that is there but could not be read
// whole keeps what the user had in it.
TEST_F(SettingsFileTest, AFileNotReadWholeIsNeverOverwritten)
{
    const std::string tail = "[gen]\nbank=1\n";
    const std::string big = std::string(4 * 1024 * 1024 + 1 - tail.size(), '\n') + tail;
    writeBytes(dir_ / "big.ini", big);
    SettingsFileCopy copy = readSettingsFile(dir_ / "big.ini");
    EXPECT_TRUE(copy.unreadable);
    EXPECT_FALSE(saveSettings(copy, Settings{}, dir_ / "big.ini", location(true)));
    EXPECT_EQ(readBytes(dir_ / "big.ini"), big);

    // No permission to read it.
    const std::string secret = "[gen]\r\nbank=2\r\n";
    writeBytes(dir_ / "secret.ini", secret);
    giveToUser(dir_);
    giveToUser(dir_ / "secret.ini");
    fs::permissions(dir_ / "secret.ini", fs::perms::owner_write);
    EXPECT_EQ(inChild([&] {
        SettingsFileCopy unreadable = readSettingsFile(dir_ / "secret.ini");
        return unreadable.unreadable && !saveSettings(unreadable, Settings{}, dir_ / "secret.ini", location(true));
    }), 0);
    fs::permissions(dir_ / "secret.ini", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(readBytes(dir_ / "secret.ini"), secret);

    // A missing file is created, and one read whole is written.
    for (const char* name : {"new.ini", "secret.ini"}) {
        SettingsFileCopy fine = readSettingsFile(dir_ / name);
        EXPECT_FALSE(fine.unreadable) << name;
        EXPECT_TRUE(saveSettings(fine, Settings{}, dir_ / name, location(true))) << name;
        EXPECT_EQ(readBytes(dir_ / name), fine.file.serialize()) << name;
    }
}

// What stands at the settings path and is no file is never replaced, nor
// waited on: a FIFO, a device node behind a link.
TEST_F(SettingsFileTest, AFifoOrADeviceIsLeftAsItIs)
{
    const auto expectLeftAlone = [&](const fs::path& path, const fs::path& node, fs::file_type type) {
        SettingsFileCopy copy = readSettingsFile(path);
        EXPECT_TRUE(copy.unreadable) << path;
        EXPECT_FALSE(saveSettings(copy, Settings{}, path, location(true))) << path;
        EXPECT_FALSE(saveSettingsFile(path, defaultFile())) << path;
        EXPECT_EQ(fs::symlink_status(node).type(), type) << node;
    };
    ASSERT_EQ(::mkfifo((dir_ / "padscope.ini").c_str(), 0600), 0);
    expectLeftAlone(dir_ / "padscope.ini", dir_ / "padscope.ini", fs::file_type::fifo);
    fs::create_symlink(dir_ / "padscope.ini", dir_ / "link.ini");
    expectLeftAlone(dir_ / "link.ini", dir_ / "padscope.ini", fs::file_type::fifo);
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.ini"));

    // A device like /dev/full, made in the test's own folder.
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may make a device node";
    ASSERT_EQ(::mknod((dir_ / "full").c_str(), S_IFCHR | 0666, ::makedev(1, 7)), 0);
    fs::create_symlink(dir_ / "full", dir_ / "device.ini");
    expectLeftAlone(dir_ / "device.ini", dir_ / "full", fs::file_type::character);
    EXPECT_TRUE(fs::is_symlink(dir_ / "device.ini"));
    EXPECT_EQ(filesIn(dir_), (std::vector<std::string>{"device.ini", "full", "link.ini", "padscope.ini"}));
}

TEST_F(SettingsFileTest, RestartKeepsTheSettingsInBothPlaces)
{
    for (const bool portable : {true, false}) {
        const fs::path path = settingsPath(dir_ / "padscope", location(portable));
        IniFile first = loadSettingsFile(path);
        Settings s = readSettings(first);
        s.height = 700;
        s.left = -12;
        s.deviceIndex = 1;
        s.map = 2;
        s.deviceName = "SC-88Pro";
        writeSettings(first, s);
        ASSERT_TRUE(saveSettingsFile(path, first, location(portable)));

        const fs::path again = settingsPath(dir_ / "padscope", location(portable));
        EXPECT_EQ(again, path);
        EXPECT_EQ(readSettings(loadSettingsFile(again)), s);
        EXPECT_EQ(readBytes(again), first.serialize());
    }
}

TEST_F(SettingsFileTest, SavingReplacesTheOldFileAndLeavesNoTemporaryFile)
{
    const fs::path path = dir_ / "padscope.ini";
    writeBytes(path, "; old\n[window]\nheight=1\n");
    IniFile file = loadSettingsFile(path);
    writeSettings(file, readSettings(file));
    ASSERT_TRUE(saveSettingsFile(path, file));
    EXPECT_EQ(readBytes(path), file.serialize());
    EXPECT_EQ(filesIn(dir_), std::vector<std::string>{"padscope.ini"});
}

TEST_F(SettingsFileTest, FailedSaveKeepsWhatWasThere)
{
    IniFile file;
    writeSettings(file, Settings{});

    // A folder where the file should be.
    fs::create_directories(dir_ / "padscope.ini" / "inside");
    EXPECT_FALSE(saveSettingsFile(dir_ / "padscope.ini", file));
    EXPECT_TRUE(fs::is_directory(dir_ / "padscope.ini" / "inside"));
    EXPECT_EQ(filesIn(dir_), std::vector<std::string>{"padscope.ini"});

    // A folder that is gone.
    EXPECT_FALSE(saveSettingsFile(dir_ / "gone" / "padscope.ini", file));

    // A file-size limit reached half-way through the new file, with the
    // signal that it raises at its default, which kills.
    const fs::path path = dir_ / "kept.ini";
    const std::string old = "[gen]\r\nbank=1\r\n\r\n";
    writeBytes(path, old);
    const int status = inChild([&] {
        const rlimit small{40, 40};
        std::signal(SIGXFSZ, SIG_DFL);
        return ::setrlimit(RLIMIT_FSIZE, &small) == 0 && !saveSettingsFile(path, file);
    }, false);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(filesIn(dir_), (std::vector<std::string>{"kept.ini", "padscope.ini"}));
}

TEST_F(SettingsFileTest, SavingKeepsLinksPermissionBitsAndWorksForLongNames)
{
    const IniFile file = defaultFile();

    // A link stays a link; its target takes the new text.
    fs::create_directory(dir_ / "real");
    writeBytes(dir_ / "real" / "target.ini", "[gen]\r\nbank=1\r\n");
    fs::create_symlink(dir_ / "real" / "target.ini", dir_ / "padscope.ini");
    ASSERT_TRUE(saveSettingsFile(dir_ / "padscope.ini", file));
    EXPECT_TRUE(fs::is_symlink(dir_ / "padscope.ini"));
    EXPECT_EQ(readBytes(dir_ / "real" / "target.ini"), file.serialize());

    // Permission bits stay; set-user-ID, set-group-ID and sticky go.
    const fs::path special = dir_ / "special.ini";
    writeBytes(special, "");
    fs::permissions(special, static_cast<fs::perms>(07764));
    ASSERT_TRUE(saveSettingsFile(special, file));
    EXPECT_EQ(modeOf(special) & 07777, 0764u);

    // A new file is readable as the user's umask allows, like any other.
    for (const mode_t mask : {022, 027, 077, 0}) {
        const mode_t previous = ::umask(mask);
        const fs::path fresh = dir_ / ("fresh-" + std::to_string(mask) + ".ini");
        EXPECT_TRUE(saveSettingsFile(fresh, file));
        ::umask(previous);
        EXPECT_EQ(modeOf(fresh) & 07777, 0666u & ~mask) << "umask " << std::oct << mask;
    }

    // An executable name near the file system's limit of 255 bytes.
    const fs::path exe = dir_ / std::string(250, 'p');
    const fs::path path = settingsPath(exe, location(true));
    EXPECT_TRUE(saveSettingsFile(path, file));
    EXPECT_EQ(readBytes(path), file.serialize());
}

TEST_F(SettingsFileTest, TheFilesOwnPermissionDecidesWhetherItIsWritten)
{
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const IniFile file = defaultFile();
    const std::string old = "[gen]\r\nbank=1\r\n";

    // A folder the user may not write holding a file the user may: written in place.
    const fs::path shared = dir_ / "shared";
    fs::create_directory(shared);
    writeBytes(shared / "padscope.ini", old);
    giveToUser(shared / "padscope.ini");
    fs::permissions(shared, static_cast<fs::perms>(0555));
    struct stat before {}, after {};
    ::stat((shared / "padscope.ini").c_str(), &before);
    EXPECT_EQ(inChild([&] { return saveSettingsFile(shared / "padscope.ini", file); }), 0);
    EXPECT_EQ(readBytes(shared / "padscope.ini"), file.serialize());
    // The very same file, not a new one renamed over it.
    ::stat((shared / "padscope.ini").c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);
    fs::permissions(shared, fs::perms::owner_all);

    // A read-only file in a folder the user may write: left as it is.
    const fs::path own = dir_ / "own";
    fs::create_directory(own);
    giveToUser(own);
    writeBytes(own / "padscope.ini", old);
    giveToUser(own / "padscope.ini");
    fs::permissions(own / "padscope.ini", static_cast<fs::perms>(0444));
    EXPECT_NE(inChild([&] { return saveSettingsFile(own / "padscope.ini", file); }), 0);
    EXPECT_EQ(readBytes(own / "padscope.ini"), old);
    EXPECT_EQ(modeOf(own / "padscope.ini") & 07777, 0444u);
    EXPECT_EQ(filesIn(own), std::vector<std::string>{"padscope.ini"});
}

TEST_F(SettingsFileTest, RootSavingAUsersFileLeavesItTheUsers)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    fs::create_directory(dir_ / "own");
    giveToUser(dir_ / "own");
    const fs::path path = dir_ / "own" / "padscope.ini";
    writeBytes(path, "[gen]\r\nbank=1\r\n");
    giveToUser(path);
    fs::permissions(path, static_cast<fs::perms>(0640));
    ASSERT_TRUE(saveSettingsFile(path, defaultFile()));
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, kUser);
    EXPECT_EQ(status.st_gid, kUser);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    // And the user can still save it.
    EXPECT_EQ(inChild([&] { return saveSettingsFile(path, defaultFile()); }), 0);
}

TEST_F(SettingsFileTest, LeftOverTemporaryFilesGoAtTheNextSave)
{
    for (const char* name : {".padscope-save-Ab12Cd", ".padscope.ini.Xy34Zw", ".padscope-save-busy00",
                             ".padscope-save-Ab12Cde", ".other.ini.Ab12Cd", ".padscope.ini.Ab1",
                             "padscope-save-Ab12Cd", "notes.txt"})
        writeBytes(dir_ / name, "left");
    fs::create_directory(dir_ / "sub");
    writeBytes(dir_ / "sub" / ".padscope-save-Ab12Cd", "left");
    // A save in progress elsewhere holds a lock on its file.
    const int busy = ::open((dir_ / ".padscope-save-busy00").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(busy, LOCK_EX), 0);

    ASSERT_TRUE(saveSettingsFile(dir_ / "padscope.ini", defaultFile()));
    ::close(busy);
    EXPECT_EQ(filesIn(dir_),
              (std::vector<std::string>{".other.ini.Ab12Cd", ".padscope-save-Ab12Cde",
                                        ".padscope-save-busy00", ".padscope.ini.Ab1", "notes.txt",
                                        "padscope-save-Ab12Cd", "padscope.ini", "sub"}));
    EXPECT_EQ(filesIn(dir_ / "sub"), std::vector<std::string>{".padscope-save-Ab12Cd"});
}

TEST_F(SettingsFileTest, ConfigFolderFollowsTheEnvironment)
{
    auto saved = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto home = saved("HOME");
    const auto config = saved("XDG_CONFIG_HOME");
    auto restore = [](const char* name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    };

    ::setenv("HOME", "/home/pad", 1);
    ::setenv("XDG_CONFIG_HOME", "/etc/xdg-pad", 1);
    EXPECT_EQ(systemSettingsLocation().configRoot, fs::path("/etc/xdg-pad"));
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ(systemSettingsLocation().configRoot, fs::path("/home/pad/.config"));
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("HOME");
    const SettingsLocation none = systemSettingsLocation();
    restore("HOME", home);
    restore("XDG_CONFIG_HOME", config);

    // Without a home there is no per-user folder: the file stays beside the
    // executable (the window's message says why it cannot go elsewhere).
    EXPECT_EQ(none.configRoot, fs::path());
    const SettingsLocation readOnly{{}, [](const fs::path&) { return false; }};
    EXPECT_EQ(settingsPath("/usr/bin/padscope", readOnly), fs::path("/usr/bin/padscope.ini"));
}

}  // namespace
}  // namespace padscope
