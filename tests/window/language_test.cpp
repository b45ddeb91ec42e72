// The English interface on request, and the Japanese one otherwise: captions
// as the user reads them, the layout they must fit, and the messages.
#include "ui/about_box.h"
#include "ui/interface_language.h"
#include "ui/manual_window.h"
#include "ui/port_menu.h"
#include "ui/failure_text.h"
#include "tests/window/window_fixture.h"

#include <QGroupBox>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTextBrowser>
#include <QTabWidget>

#include <map>

using namespace padscope;
using namespace padscope::test;

namespace {

class InterfaceLanguage : public WindowFixture {
protected:
    QString tab(int index) const { return find<QTabWidget>(QStringLiteral("PageControl1"))->tabText(index); }
    QString aboutText(const char* name) const
    {
        return window->aboutBox()->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }

    // Every named control of the main window and the about box with its
    // place; self-sizing labels by their position only.
    std::map<QString, QRect> placesOfControls() const
    {
        std::map<QString, QRect> places;
        const auto record = [&places](const QWidget* root) {
            for (const QWidget* w : root->findChildren<QWidget*>()) {
                if (w->objectName().isEmpty())
                    continue;
                const bool sizesToText = qobject_cast<const QLabel*>(w) != nullptr;
                places[w->objectName()] = sizesToText ? QRect(w->pos(), QSize()) : w->geometry();
            }
        };
        record(window.get());
        record(window->aboutBox());
        return places;
    }
};

// Right edge of a self-sizing label, first pixel after its text.
int textEnd(const QLabel* label)
{
    return label->x() + label->fontMetrics().horizontalAdvance(label->text());
}

}  // namespace

TEST_F(InterfaceLanguage, EnglishOnRequestCaptionsPagesStatusStripControllersAndAboutBox)
{
    const InterfaceTranslation english(Language::English);
    ASSERT_TRUE(english.loaded());
    start();

    EXPECT_EQ(tab(0), "Instruments");
    EXPECT_EQ(tab(1), "Effects");
    EXPECT_EQ(button(129)->text(), "Change port");
    EXPECT_EQ(labelText(1), "Port");
    EXPECT_EQ(labelText(73), "Map=");
    EXPECT_EQ(labelText(50), "Program number=");
    EXPECT_EQ(labelText(51), "Sound=");
    constexpr std::pair<int, const char*> kControllerCaptions[] = {
        {38, "Velocity="},     {40, "Reverb="},        {42, "Chorus="},        {44, "Delay="},
        {46, "Bend="},         {55, "Bend range="},    {54, "Modulation="},    {57, "Cutoff="},
        {59, "Reso="},         {61, "Attack="},        {63, "Decay="},         {65, "Release="},
        {67, "Vibrato rate="}, {69, "Vibrato depth="}, {71, "Vibrato delay="},
    };
    for (const auto& [label, caption] : kControllerCaptions)
        EXPECT_EQ(labelText(label), caption) << "Label" << label;
    // What a screen reader says of a scroll bar and a pad.
    EXPECT_EQ(find<QWidget>(QStringLiteral("ScrollBar2"))->accessibleName(), "Reverb");
    EXPECT_EQ(find<QWidget>(QStringLiteral("ScrollBar6"))->accessibleName(), "Bend range");
    EXPECT_EQ(pad(37)->accessibleDescription(), "C 2, note 36");
    EXPECT_EQ(pad(2)->accessibleDescription(), "C# -1, note 1");
    EXPECT_EQ(find<QLabel>(QStringLiteral("Label38"))->toolTip(), "Reset to default");
    EXPECT_EQ(find<QGroupBox>(QStringLiteral("RadioGroup1"))->title(), "Drum map");
    EXPECT_EQ(radio(5)->text(), "TG-300B(XG)");
    EXPECT_EQ(radio(1)->text(), "SC-8850 Map");

    // The modules' own names stay as they are.
    EXPECT_EQ(shownCaption(button(130)), "STANDARD 1");
    EXPECT_EQ(shownCaption(pad(37)), "Standard 1 Kick 1");
    EXPECT_EQ(labelText(74), "SC-8850");

    EXPECT_EQ(window->aboutBox()->windowTitle(), "About Padscope");
    EXPECT_EQ(aboutText("ProductName"), "Product name: Padscope");
    EXPECT_EQ(aboutText("Version"), "Version: 1.1");
    EXPECT_EQ(aboutText("Copyright"), "Copyright: Padscope Project");
}

TEST_F(InterfaceLanguage, JapaneseCaptionsAsTheyAreWhateverQtsOwnLocale)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    {
        // A window built while English was in place leaves nothing behind.
        const InterfaceTranslation english(Language::English);
        start();
        window.reset();
    }
    const InterfaceTranslation japanese(Language::Japanese);
    EXPECT_TRUE(japanese.loaded());
    start();
    QLocale::setDefault(QLocale::c());

    EXPECT_EQ(tab(0), "楽器");
    EXPECT_EQ(tab(1), "エフェクト");
    EXPECT_EQ(button(129)->text(), "音源の変更");
    EXPECT_EQ(labelText(1), "音源名");
    EXPECT_EQ(labelText(50), "プログラムナンバー＝");
    EXPECT_EQ(labelText(38), "ベロシティー=");
    EXPECT_EQ(find<QWidget>(QStringLiteral("ScrollBar1"))->accessibleName(), "ベロシティー");
    EXPECT_EQ(pad(128)->accessibleDescription(), "G 9、ノートナンバー 127");
    EXPECT_EQ(find<QLabel>(QStringLiteral("Label38"))->toolTip(), "デフォルトに戻す");
    EXPECT_EQ(find<QGroupBox>(QStringLiteral("RadioGroup1"))->title(), "マップ切り替え");
    EXPECT_EQ(radio(5)->text(), "TG-300B(XG音源)");
    EXPECT_EQ(window->aboutBox()->windowTitle(), "バージョン情報");
    EXPECT_EQ(aboutText("ProductName"), "プロダクト名 Padscope");
    EXPECT_EQ(aboutText("Copyright"), "著作権表記 パッドスコープ・プロジェクト");
    EXPECT_EQ(failureText({Failure::NoPorts}), "ＭＩＤＩ音源がないのでこのソフトは利用できません");
    EXPECT_EQ(failureText({Failure::PortOpenFailed}), "ＭＩＤＩデバイスが開けません");
    EXPECT_EQ(failureText({Failure::InputOpenFailed, {}, "why"}), "ＭＩＤＩデバイスが開けません\nwhy");
    EXPECT_EQ(failureText({Failure::InputGone}), "ＭＩＤＩ入力が見つかりません。「なし」にしました");
    EXPECT_EQ(failureText({Failure::SettingsNotSaved, "/tmp/padscope.ini"}),
              "設定ファイルを保存できません\n/tmp/padscope.ini");
    EXPECT_EQ(failureText({Failure::SettingsNotSavedNoUserFolder, "/usr/bin/padscope.ini"}),
              "設定ファイルを保存できません\n/usr/bin/padscope.ini\n"
              "HOME が設定されていないため、ユーザーの設定フォルダがありません");
}

TEST_F(InterfaceLanguage, EnglishCaptionsFitTheLayoutWithoutMovingAnyControl)
{
    start();
    const std::map<QString, QRect> japanesePlaces = placesOfControls();
    window.reset();

    const InterfaceTranslation english(Language::English);
    start();
    EXPECT_EQ(placesOfControls(), japanesePlaces);

    // Each controller caption ends before its value label begins.
    constexpr std::pair<int, int> kCaptionAndValue[] = {
        {38, 39}, {40, 41}, {42, 43}, {44, 45}, {46, 47}, {55, 53}, {54, 56}, {57, 58},
        {59, 60}, {61, 62}, {63, 64}, {65, 66}, {67, 68}, {69, 70}, {71, 72},
    };
    for (const auto& [caption, value] : kCaptionAndValue) {
        const auto* captionLabel = find<QLabel>(QStringLiteral("Label%1").arg(caption));
        EXPECT_LT(textEnd(captionLabel), find<QLabel>(QStringLiteral("Label%1").arg(value))->x())
            << captionLabel->text().toStdString();
    }
    // So does each fixed label of the status strip.
    constexpr std::pair<int, int> kStripPairs[] = {{1, 2}, {73, 74}, {50, 49}, {51, 52}};
    for (const auto& [caption, value] : kStripPairs) {
        const auto* captionLabel = find<QLabel>(QStringLiteral("Label%1").arg(caption));
        EXPECT_LT(textEnd(captionLabel), find<QLabel>(QStringLiteral("Label%1").arg(value))->x())
            << captionLabel->text().toStdString();
    }
    // The port button's caption fits inside it, with room for its bevel.
    const QPushButton* port = button(129);
    EXPECT_LE(port->fontMetrics().horizontalAdvance(port->text()) + 8, port->width());
    // The about box's texts stay inside its panel.
    const QWidget* panel = window->aboutBox()->findChild<QWidget*>(QStringLiteral("Panel1"));
    for (const char* name : {"ProductName", "Version", "Copyright"}) {
        const auto* label = window->aboutBox()->findChild<QLabel*>(QString::fromLatin1(name));
        EXPECT_LT(textEnd(label), panel->width() - 2) << name;
    }
}

TEST(LanguageMessages, FailuresShowInEnglishKeepingThePath)
{
    const InterfaceTranslation english(Language::English);
    EXPECT_EQ(failureText({Failure::NoPorts}), "No MIDI sound module was found, so this program cannot be used");
    EXPECT_EQ(failureText({Failure::PortOpenFailed}), "Cannot open the MIDI device");
    EXPECT_EQ(failureText({Failure::InputGone}), "The MIDI input was not found; it is set to None");
    EXPECT_EQ(failureText({Failure::MessageTooLong}), "The MIDI message is too long to be sent");
    EXPECT_EQ(failureText({Failure::SettingsNotSavedNoUserFolder, "/usr/bin/padscope.ini"}),
              "Cannot save the settings file\n/usr/bin/padscope.ini\n"
              "HOME is not set, so there is no user settings folder");
    // The path comes out as it is, even where it reads like a message.
    EXPECT_EQ(failureText({Failure::SettingsNotSaved, "/tmp/設定/ＭＩＤＩデバイスが開けません"}),
              "Cannot save the settings file\n/tmp/設定/ＭＩＤＩデバイスが開けません");
}

TEST(DesktopLanguage, JapaneseForJapaneseCAndPosixLocalesEnglishForAnyOther)
{
    // LC_ALL, LC_MESSAGES, LANG, LANGUAGE
    EXPECT_EQ(desktopLanguage("", "", "", ""), Language::Japanese);
    EXPECT_EQ(desktopLanguage("", "", "C", ""), Language::Japanese);
    EXPECT_EQ(desktopLanguage("", "", "POSIX", ""), Language::Japanese);
    EXPECT_EQ(desktopLanguage("", "", "C.UTF-8", "en_US"), Language::Japanese);
    EXPECT_EQ(desktopLanguage("", "", "ja_JP.UTF-8", ""), Language::Japanese);
    EXPECT_EQ(desktopLanguage("", "", "ja_JP.eucJP", ""), Language::Japanese);
    EXPECT_EQ(desktopLanguage("", "", "en_US.UTF-8", ""), Language::English);
    EXPECT_EQ(desktopLanguage("", "", "de_DE.UTF-8", ""), Language::English);
    EXPECT_EQ(desktopLanguage("", "", "jam_JM", ""), Language::English);
    // LC_ALL outranks LC_MESSAGES, which outranks LANG.
    EXPECT_EQ(desktopLanguage("C", "en_GB.UTF-8", "en_US.UTF-8", ""), Language::Japanese);
    EXPECT_EQ(desktopLanguage("", "ja_JP.UTF-8", "en_US.UTF-8", ""), Language::Japanese);
    EXPECT_EQ(desktopLanguage("en_US.UTF-8", "", "ja_JP.UTF-8", ""), Language::English);
    // LANGUAGE's first Japanese or English entry, as gettext reads it.
    EXPECT_EQ(desktopLanguage("", "", "ja_JP.UTF-8", "fr:en"), Language::English);
    EXPECT_EQ(desktopLanguage("", "", "en_US.UTF-8", "ja"), Language::Japanese);
    EXPECT_EQ(desktopLanguage("", "", "de_DE.UTF-8", "de"), Language::English);

    // The command line, then the choice made in the window, then the desktop.
    EXPECT_EQ(interfaceLanguage(Language::Japanese, "en", Language::English), Language::Japanese);
    EXPECT_EQ(interfaceLanguage(std::nullopt, "en", Language::Japanese), Language::English);
    EXPECT_EQ(interfaceLanguage(std::nullopt, "ja", Language::English), Language::Japanese);
    EXPECT_EQ(interfaceLanguage(std::nullopt, "", Language::English), Language::English);
    EXPECT_EQ(interfaceLanguage(std::nullopt, "fr", Language::English), Language::English);
}

TEST_F(InterfaceLanguage, PortListOpensTheManualAndRemembersALanguageOnlyOnceChosen)
{
    const InterfaceTranslation english(Language::English);
    language = Language::English;
    start();
    PortMenu* ports = window->findChild<PortMenu*>();
    ASSERT_NE(ports, nullptr);
    ports->popup(QPoint(0, 0));
    auto* help = ports->menu()->findChild<QAction*>(QStringLiteral("HelpAction"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->text(), "Help");
    EXPECT_EQ(help->shortcut(), QKeySequence(Qt::Key_F1));
    auto* languages = ports->menu()->findChild<QMenu*>(QStringLiteral("LanguageMenu"));
    ASSERT_NE(languages, nullptr);
    EXPECT_EQ(languages->title(), "Language");
    auto* japanese = languages->findChild<QAction*>(QStringLiteral("JapaneseAction"));
    auto* inEnglish = languages->findChild<QAction*>(QStringLiteral("EnglishAction"));
    ASSERT_NE(japanese, nullptr);
    ASSERT_NE(inEnglish, nullptr);
    EXPECT_EQ(japanese->text(), "日本語");
    EXPECT_TRUE(inEnglish->isChecked());
    ports->menu()->hide();

    // Nothing chosen: nothing to remember.
    EXPECT_EQ(window->currentSettings().language, "");
    help->trigger();
    ASSERT_NE(window->manual(), nullptr);
    EXPECT_TRUE(window->manual()->isVisible());
    EXPECT_EQ(window->manual()->windowTitle(), "Padscope manual");
    EXPECT_EQ(window->manual()->text()->documentTitle(), "Padscope user's manual");

    japanese->trigger();
    EXPECT_EQ(window->currentSettings().language, "ja");
    auto* note = window->findChild<QMessageBox*>(QStringLiteral("LanguageNote"));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), "次の起動から日本語で表示します。");
    note->close();
    ports->popup(QPoint(0, 0));
    // The list, filled afresh, checks the language of the next start.
    EXPECT_TRUE(languages->findChild<QAction*>(QStringLiteral("JapaneseAction"))->isChecked());
    ports->menu()->hide();
    window->close();
    ASSERT_EQ(savedAtClose.size(), 1u);
    EXPECT_EQ(savedAtClose[0].language, "ja");
}

TEST_F(InterfaceLanguage, JapaneseManualFromF1)
{
    start();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F1);
    ASSERT_NE(window->manual(), nullptr);
    EXPECT_EQ(window->manual()->windowTitle(), "Padscope の使い方");
    EXPECT_EQ(window->manual()->text()->documentTitle(), "Padscope 取扱説明書");
    window->close();
    EXPECT_FALSE(window->manual()->isVisible());
}
