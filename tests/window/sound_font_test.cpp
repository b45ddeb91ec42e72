// Choosing the built-in synth's SoundFont, and what the window says plays.
#include "ui/failure_text.h"
#include "ui/interface_language.h"
#include "tests/window/window_fixture.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QThreadPool>

#include <thread>

using namespace padscope;
using namespace padscope::test;

namespace {

constexpr int kStandard1 = 130, kTr808 = 141, kCm64 = 167, kJazz = 147;

class SoundFontChoice : public WindowFixture {
protected:
    void SetUp() override
    {
        ports = {{"Module A", true}, {"Padscope GS Synth", true}};
        saved.deviceIndex = 1;
        saved.deviceName = "Padscope GS Synth";
        saved.left = saved.top = 0;
        synthFonts.portName = "Padscope GS Synth";
        synthFonts.fonts = SoundFontSet{"/fonts/base.sf2", {"/fonts/gs.sf2"}};
        synthFonts.load = [this](std::vector<std::filesystem::path> files, SoundFontsLoaded done) {
            asked.push_back(std::move(files));
            answer = std::move(done);
            return true;
        };
        synthFonts.plan = [this](const SoundFontSet& fonts) {
            planned.push_back(fonts.base);
            KitPlan plan;
            plan[0] = {0, true, "Standard"};
            plan[25] = {24, false, "Electronic"};  // TR-808 played by ELECTRONIC
            plan[32] = {99, false, "Odd Kit"};     // a stand-in no button has
            return plan;
        };
    }

    // Lets the answer, then the plan made off this thread, arrive.
    void settle()
    {
        for (int round = 0; round < 2; ++round) {
            QThreadPool::globalInstance()->waitForDone();
            QCoreApplication::processEvents();
        }
    }

    // Answers from another thread, as the synth's worker does.
    void reply(const std::optional<FailureReport>& failure)
    {
        ASSERT_TRUE(answer);
        std::thread([&] { answer(failure); }).join();
        settle();
    }

    std::string tip(int n) const { return button(n)->toolTip().toStdString(); }

    std::vector<std::string> menuItems()
    {
        QPushButton* port = button(129);
        QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), port->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(port, &request);
        auto* menu = find<QMenu>(QStringLiteral("PortMenu"));
        std::vector<std::string> texts;
        for (const QAction* a : menu->actions())
            if (!a->text().isEmpty())
                texts.push_back((a->isChecked() ? "* " : "") + a->text().toStdString());
        menu->hide();
        return texts;
    }

    std::vector<std::vector<std::filesystem::path>> asked;
    SoundFontsLoaded answer;
    std::vector<std::filesystem::path> planned;
};

}  // namespace

TEST_F(SoundFontChoice, KitTipsSayWhatPlaysOnlyWhileTheSynthIsOpenAndNothingMoves)
{
    start();
    const QImage before = window->grab().toImage();
    settle();
    EXPECT_EQ(planned, (std::vector<std::filesystem::path>{"/fonts/base.sf2"}));
    EXPECT_EQ(tip(kStandard1), "内蔵シンセ: このキット自身の音色 Standard");
    EXPECT_EQ(tip(kTr808), "内蔵シンセ: ELECTRONIC で代用");
    EXPECT_EQ(tip(kJazz), "内蔵シンセ: Odd Kit で代用");
    EXPECT_EQ(tip(kCm64), "内蔵シンセ: このキットの音色はありません");
    EXPECT_EQ(window->grab().toImage(), before);
    EXPECT_EQ(menuItems(), (std::vector<std::string>{"Module A", "* Padscope GS Synth (base.sf2 + gs.sf2)",
                                                      "SoundFont…", "探す…", "ヘルプ", "言語 (Language)"}));

    // A MIDI port: nothing of the synth shows.
    window->choosePort(0);
    EXPECT_EQ(tip(kStandard1), "");
    EXPECT_EQ(tip(kTr808), "");
    EXPECT_EQ(menuItems(), (std::vector<std::string>{"* Module A", "Padscope GS Synth", "SoundFont…", "探す…", "ヘルプ",
                                                      "言語 (Language)"}));
    window->changePort();
    EXPECT_EQ(tip(kTr808), "内蔵シンセ: ELECTRONIC で代用");
}

TEST_F(SoundFontChoice, TipsInEnglish)
{
    const InterfaceTranslation english(Language::English);
    start();
    settle();
    EXPECT_EQ(tip(kStandard1), "Built-in synth: its own preset Standard");
    EXPECT_EQ(tip(kTr808), "Built-in synth: ELECTRONIC stands in");
    EXPECT_EQ(tip(kCm64), "Built-in synth: no preset for this kit");
}

TEST_F(SoundFontChoice, ChosenFontOpensTheSynthPlaysAndIsRemembered)
{
    saved.deviceIndex = 0;
    saved.deviceName = "Module A";
    start();
    settle();
    window->playSoundFont("/mine/GS Kit.sf3");
    // The synth's port opens first; the window does not wait for the font.
    EXPECT_EQ(output.openPort(), 1);
    EXPECT_EQ(asked, (std::vector<std::vector<std::filesystem::path>>{{"/mine/GS Kit.sf3"}}));
    EXPECT_EQ(tip(kTr808), "内蔵シンセ: ELECTRONIC で代用");  // the old plan until the answer
    reply(std::nullopt);
    EXPECT_EQ(planned.back(), "/mine/GS Kit.sf3");
    EXPECT_EQ(menuItems(), (std::vector<std::string>{"Module A", "* Padscope GS Synth (GS Kit.sf3)", "SoundFont…",
                                                      "探す…", "ヘルプ", "言語 (Language)"}));
    EXPECT_TRUE(notifier.failures.empty());
    window->close();
    ASSERT_EQ(savedAtClose.size(), 1u);
    EXPECT_EQ(savedAtClose[0].soundFont, "/mine/GS Kit.sf3");
    EXPECT_EQ(savedAtClose[0].deviceName, "Padscope GS Synth");
}

TEST_F(SoundFontChoice, BadFontIsToldAndChangesNothing)
{
    saved.soundFont = "/fonts/base.sf2";
    start();
    settle();
    window->playSoundFont("/tmp/cut.sf2");
    reply(FailureReport{Failure::SoundFontTruncated, "/tmp/cut.sf2"});
    EXPECT_EQ(notifier.failures, (std::vector<Failure>{Failure::SoundFontTruncated}));
    EXPECT_EQ(planned.size(), 1u);
    EXPECT_EQ(tip(kTr808), "内蔵シンセ: ELECTRONIC で代用");
    EXPECT_EQ(menuItems()[1], "* Padscope GS Synth (base.sf2 + gs.sf2)");
    window->close();
    EXPECT_EQ(savedAtClose.at(0).soundFont, "/fonts/base.sf2");
}

TEST_F(SoundFontChoice, SynthThatCouldNotOpenIsTriedAgainOnlyWithTheNewFont)
{
    // First in the list, so that the start, falling back to the first
    // port, tries it twice.
    ports = {{"Padscope GS Synth", false}, {"Module A", true}};
    saved.deviceIndex = 0;
    start();
    settle();
    EXPECT_EQ(notifier.failures, (std::vector<Failure>{Failure::PortOpenFailed, Failure::PortOpenFailed}));
    EXPECT_EQ(labelText(2), "");
    EXPECT_EQ(tip(kTr808), "");
    output.ports()[0].opens = true;
    forget();
    window->playSoundFont("/mine/new.sf2");
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_TRUE(output.events().empty());  // not opened again with the old font
    reply(std::nullopt);
    EXPECT_EQ(labelText(2), "Padscope GS Synth");
    EXPECT_EQ(tip(kTr808), "内蔵シンセ: ELECTRONIC で代用");
    EXPECT_EQ(notifier.failures.size(), 2u);
}

TEST(SoundFontMessages, NameTheFileAndSayTheOldFontPlaysOn)
{
    EXPECT_EQ(failureText({Failure::SoundFontMissing, "/a/gone.sf2"}),
              "SoundFont ファイルが見つかりません\n/a/gone.sf2\n内蔵シンセは前の SoundFont のまま鳴ります");
    const std::pair<Failure, const char*> headlines[] = {
        {Failure::SoundFontIsFolder, "SoundFont ファイルではなくフォルダです"},
        {Failure::SoundFontNotAFile, "SoundFont ファイルではなく特殊ファイルです"},
        {Failure::SoundFontUnreadable, "SoundFont ファイルを読む権限がありません"},
        {Failure::SoundFontEmpty, "SoundFont ファイルが空です"},
        {Failure::SoundFontTruncated, "SoundFont ファイルが途中で切れています"},
        {Failure::SoundFontNotASoundFont, "SoundFont ファイルとして読めません"},
    };
    for (const auto& [failure, headline] : headlines)
        EXPECT_EQ(failureText({failure, "/a/x.sf2"}).section(QLatin1Char('\n'), 0, 0), headline);
    const InterfaceTranslation english(Language::English);
    EXPECT_EQ(failureText({Failure::SoundFontEmpty, "/a/ドラム.sf2"}),
              "The SoundFont file is empty\n/a/ドラム.sf2\nThe built-in synth keeps playing its previous SoundFont");
    EXPECT_EQ(failureText({Failure::SoundFontNotAFile, "/a/pipe.sf2"}).section(QLatin1Char('\n'), 0, 0),
              "This is a special file (a pipe or a device), not a SoundFont file");
}
