#include "core/midi/press_messages.h"
#include "core/settings/settings_file.h"
#include "tests/window/window_fixture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <fstream>
#include <sstream>

using namespace padscope;
using namespace padscope::test;

TEST_F(WindowFixture, FirstRunOpensPortZeroTwiceThenCaptionsAndSelectsTheMap)
{
    start();
    // open, GS Reset, then the name differs from "none": close, open, GS Reset;
    // then refreshPads twice (start-up and the map's radio button).
    EXPECT_EQ(output.trace(), (std::vector<std::string>{"open 0", "sysex 0", "close 0", "open 0", "sysex 0",
                                                         "short 0", "short 0"}));
    EXPECT_EQ(sent(), (std::vector<std::uint32_t>{packed(programChangeMessage(0)), packed(programChangeMessage(0))}));
    EXPECT_EQ(labelText(2), "Module A");
    EXPECT_EQ(labelText(74), "SC-8850");
    EXPECT_EQ(find<QWidget>(QStringLiteral("PageControl1"))->objectName(), "PageControl1");
    EXPECT_EQ(window->windowTitle(), "Padscope");
}

TEST_F(WindowFixture, OutOfRangeMapFallsBackToSc8850)
{
    for (int bank : {7, -1}) {
        saved.map = bank;
        start();
        EXPECT_EQ(window->currentMap(), 4) << bank;
        EXPECT_TRUE(radio(1)->isChecked()) << bank;
        EXPECT_EQ(labelText(74), "SC-8850") << bank;
    }
}

TEST_F(WindowFixture, SavedMapAndPortAreRestoredAndWrittenBackAtClose)
{
    saved.map = 1;
    saved.deviceIndex = 2;
    saved.deviceName = "Module C";
    start();
    EXPECT_EQ(window->currentMap(), 1);
    EXPECT_TRUE(radio(4)->isChecked());
    EXPECT_EQ(labelText(2), "Module C");
    QTest::mouseClick(button(129), Qt::LeftButton);  // wraps to port 0
    EXPECT_EQ(labelText(2), "Module A");
    window->close();
    ASSERT_EQ(savedAtClose.size(), 1u);
    EXPECT_EQ(savedAtClose[0].deviceIndex, 0);
    EXPECT_EQ(savedAtClose[0].deviceName, "Module A");
    EXPECT_EQ(savedAtClose[0].map, 1);
    EXPECT_EQ(output.openPort(), -1) << "the port is closed at shut-down";
}

TEST_F(WindowFixture, NoPortsShowsBothMessagesAndTheWindowStillWorks)
{
    ports.clear();
    start();
    EXPECT_EQ(notifier.failures, (std::vector<Failure>{Failure::NoPorts, Failure::PortOpenFailed, Failure::PortOpenFailed}));
    EXPECT_EQ(labelText(2), "");
    EXPECT_EQ(window->portSession().portIndex(), 0);
}

namespace {

std::string readAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

// A start and a close with no change leave the settings file byte for byte the same.
TEST_F(WindowFixture, StartAndCloseLeaveTheSettingsFileUnchanged)
{
    QTemporaryDir dir;
    const std::filesystem::path path = dir.filePath(QStringLiteral("padscope.ini")).toStdString();
    {
        std::ofstream(path, std::ios::binary) << "[window]\r\nHeight=600\r\nWidth=790\r\nTop=40\r\nLeft=30\r\n\r\n"
                                                 "[dev]\r\nnum=1\r\ngakki=Module B\r\n\r\n[gen]\r\nbank=2\r\n\r\n";
    }
    const std::string before = readAll(path);
    for (int run = 0; run < 2; ++run) {
        IniFile file = loadSettingsFile(path);
        saved = readSettings(file);
        start();
        window->show();
        QApplication::processEvents();
        window->close();
        ASSERT_FALSE(savedAtClose.empty());
        writeSettings(file, savedAtClose.back());
        ASSERT_TRUE(saveSettingsFile(path, file));
        EXPECT_EQ(readAll(path), before) << "run " << run;
        window.reset();
    }
}

// A saved size too small to use opens the default size where the window was,
// and only the size changes in the file; from then on the file stays.
TEST_F(WindowFixture, UnusableSavedSizeOpensTheDefaultSizeAndKeepsEverythingElse)
{
    QTemporaryDir dir;
    const std::filesystem::path path = dir.filePath(QStringLiteral("padscope.ini")).toStdString();
    const auto fileWith = [](std::string_view height, std::string_view width) {
        return "[window]\r\nHeight=" + std::string(height) + "\r\nWidth=" + std::string(width)
               + "\r\nTop=40\r\nLeft=30\r\n\r\n[dev]\r\nnum=1\r\ngakki=Module B\r\n\r\n[gen]\r\nbank=2\r\n\r\n";
    };
    std::ofstream(path, std::ios::binary) << fileWith("-2147483648", "-5");
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const std::string expected =
        fileWith(std::to_string(std::min(636, screen.height())), std::to_string(std::min(810, screen.width())));
    for (int run = 0; run < 2; ++run) {
        IniFile file = loadSettingsFile(path);
        saved = readSettings(file);
        start();
        window->show();
        QApplication::processEvents();
        EXPECT_EQ(window->frameGeometry(), QRect(30, 40, std::min(810, screen.width()), std::min(636, screen.height())))
            << "run " << run;
        window->close();
        ASSERT_FALSE(savedAtClose.empty());
        writeSettings(file, savedAtClose.back());
        ASSERT_TRUE(saveSettingsFile(path, file));
        EXPECT_EQ(readAll(path), expected) << "run " << run;
        window.reset();
    }
}
