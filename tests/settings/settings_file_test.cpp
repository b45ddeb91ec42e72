#include "settings.h"
#include "settings_file.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
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

TEST_F(SettingsFileTest, ReadOnlyExecutableFolderUsesTheConfigFolder)
{
    const fs::path expected = dir_ / "config" / "Padscope" / "padscope.ini";
    EXPECT_EQ(settingsPath(dir_ / "padscope", location(false)), expected);
    EXPECT_TRUE(fs::is_directory(expected.parent_path()));

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

    writeBytes(dir_ / "big.ini", std::string(5 * 1024 * 1024, '\n') + "[gen]\nbank=1\n");
    EXPECT_EQ(loadSettingsFile(dir_ / "big.ini"), IniFile{});
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
        ASSERT_TRUE(saveSettingsFile(path, first));

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

    // A disk that fills up half-way through the new file.
    const fs::path path = dir_ / "kept.ini";
    const std::string old = "[gen]\r\nbank=1\r\n\r\n";
    writeBytes(path, old);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 40;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved40 = saveSettingsFile(path, file);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(saved40);
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(filesIn(dir_), (std::vector<std::string>{"kept.ini", "padscope.ini"}));

    EXPECT_EQ(saveFailedText(path), "設定ファイルを保存できません\n" + path.string());
}

}  // namespace
}  // namespace padscope
