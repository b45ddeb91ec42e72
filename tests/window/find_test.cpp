// The find dialog: opened by Ctrl+F or the port menu, searched by typing,
// and a chosen sound selected as the map and kit buttons select it.
#include "ui/find_dialog.h"
#include "ui/interface_language.h"
#include "ui/port_menu.h"
#include "tests/window/window_fixture.h"

#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

using namespace padscope;
using namespace padscope::test;

namespace {

class FindFixture : public WindowFixture {
protected:
    QLineEdit* text() const { return find<QLineEdit>(QStringLiteral("FindText")); }
    QTreeWidget* results() const { return find<QTreeWidget>(QStringLiteral("FindResults")); }
    static std::string row(const QTreeWidgetItem* item)
    {
        QStringList columns;
        for (int c = 0; c < item->columnCount(); ++c)
            columns << item->text(c);
        return columns.join(QStringLiteral(" | ")).toStdString();
    }
    // The port list's last entry, the list opened as a right click opens it.
    QAction* findEntry() const
    {
        auto* ports = window->findChild<PortMenu*>();
        ports->popup(QPoint());
        return ports->menu()->findChild<QAction*>(QStringLiteral("FindAction"));
    }
};

class FindTest : public FindFixture {
protected:
    void SetUp() override
    {
        start();  // SC-8850 map, STANDARD 1
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        forget();
    }
};

using FindInEnglish = FindFixture;

}  // namespace

TEST_F(FindTest, ClapChosenSelectsItsMapAndKitAndFocusesItsPad)
{
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(find<FindDialog>(QStringLiteral("FindDialog"))->isVisible());
    QTest::keyClicks(text(), QStringLiteral("clap"));

    // Names that start with the text first, then the rest by name.
    ASSERT_GE(results()->topLevelItemCount(), 3);
    EXPECT_EQ(row(results()->topLevelItem(0)), "Clap Hit");
    EXPECT_EQ(row(results()->topLevelItem(0)->child(0)), " | SFX 2 | SC-8850 | F 3 (53)");
    const QTreeWidgetItem* cm = results()->topLevelItem(1);
    EXPECT_EQ(row(cm), "CM Hand Clap");
    ASSERT_EQ(cm->childCount(), 2);
    EXPECT_EQ(row(cm->child(1)), " | CM64/32L | SC-55 | D# 2 (39)");

    // The SC-8850 map has no CM64/32L button: the SC-55 map is chosen first.
    results()->setCurrentItem(cm->child(1));
    QTest::keyClick(results(), Qt::Key_Return);
    EXPECT_EQ(window->currentMap(), 1);
    EXPECT_EQ(window->currentProgram(), 127);
    EXPECT_TRUE(radio(4)->isChecked());
    EXPECT_EQ(labelText(74), "SC-55");
    EXPECT_EQ(sent(), (std::vector<std::uint32_t>{0x00C9, 0x7FC9}));
    ASSERT_EQ(QApplication::focusWidget(), pad(40));
    EXPECT_EQ(shownCaption(pad(40)), "CM Hand Clap");

    // Space on the pad sounds the note.
    QTest::keyPress(pad(40), Qt::Key_Space);
    EXPECT_EQ(window->currentNote(), 39);
    EXPECT_EQ(sent().back(), 0x642799u);
}

TEST_F(FindTest, EnterAndArrowsInTheFieldChooseAndTheMenuOpensTheDialogAgain)
{
    findEntry()->trigger();
    QTest::keyClicks(text(), QStringLiteral("tr909claps"));
    QTest::keyClick(text(), Qt::Key_Return);
    EXPECT_EQ(window->currentProgram(), 11);
    EXPECT_EQ(window->currentMap(), 4);
    EXPECT_EQ(sent(), (std::vector<std::uint32_t>{0x0BC9}));
    EXPECT_EQ(QApplication::focusWidget(), pad(40));

    // Down in the field moves to the next place: HOUSE, note 39 again.
    forget();
    findEntry()->trigger();
    QTest::keyClick(text(), Qt::Key_Down);
    QTest::keyClick(text(), Qt::Key_Return);
    EXPECT_EQ(sent(), (std::vector<std::uint32_t>{0x0DC9}));

    // Again: the dialog comes back with its text selected, to be typed over.
    findEntry()->trigger();
    EXPECT_EQ(text()->selectedText(), "tr909claps");
    QTest::keyClicks(text(), QStringLiteral("zzz"));
    EXPECT_EQ(results()->topLevelItemCount(), 0);
}

// The keys as the windows deliver them: each goes to its window's focused
// control. Ctrl+F goes down and up on the focused pad, and the Return that
// chooses a place goes down in the dialog and up on the pad it focused.
TEST_F(FindTest, CtrlFAndEnterSendOnlyTheChosenKit)
{
    pad(37)->setFocus();
    QTest::keyClick(window->windowHandle(), Qt::Key_F, Qt::ControlModifier);
    auto* dialog = find<FindDialog>(QStringLiteral("FindDialog"));
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(midiBytes(sent()), "");

    QTest::keyClicks(text(), QStringLiteral("tr909claps"));
    QTest::keyPress(dialog->windowHandle(), Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), pad(40));
    QTest::keyRelease(window->windowHandle(), Qt::Key_Return);

    // A key of the pad's own plays it; a release held back from before
    // would come out ahead of its press.
    QTest::keyPress(window->windowHandle(), Qt::Key_Space);
    QTest::keyRelease(window->windowHandle(), Qt::Key_Space);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sent().empty() && sent().back() == 0x002799u; }));
    const auto words = sent();
    ASSERT_EQ(words.size(), 25u) << midiBytes(words);
    EXPECT_EQ(words.front(), 0x0BC9u);
    EXPECT_EQ(midiBytes({words[23], words[24]}), "99 27 64, 99 27 00");
}

// From the controller page: the pads page comes back with the place. One
// letter finds most of the table, and Enter still takes the first name's
// first place; a name's row takes its first place too.
TEST_F(FindTest, EnterTakesTheFirstPlaceAndShowsThePads)
{
    auto* pages = find<QTabWidget>(QStringLiteral("PageControl1"));
    pages->setCurrentIndex(1);
    window->openFind();
    QTest::keyClicks(text(), QStringLiteral("c"));
    ASSERT_GE(results()->topLevelItemCount(), 1);
    EXPECT_EQ(row(results()->topLevelItem(0)), "Cabasa");
    QTest::keyClick(text(), Qt::Key_Return);
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_EQ(window->currentMap(), 0);
    EXPECT_EQ(window->currentProgram(), 0);
    EXPECT_EQ(QApplication::focusWidget(), pad(70));

    window->openFind();
    QTest::keyClicks(text(), QStringLiteral("cmhandclap"));
    ASSERT_EQ(results()->topLevelItemCount(), 1);
    results()->setCurrentItem(results()->topLevelItem(0));  // TG-300B(XG), then SC-55
    QTest::keyClick(results(), Qt::Key_Return);
    EXPECT_EQ(window->currentMap(), 0);
    EXPECT_EQ(window->currentProgram(), 127);
    EXPECT_EQ(labelText(74), "TG-300B(XG)");
}

TEST_F(FindInEnglish, MenuEntryAndDialog)
{
    const InterfaceTranslation english(Language::English);
    start();
    EXPECT_EQ(findEntry()->text(), "Find…");
    findEntry()->trigger();
    EXPECT_EQ(find<FindDialog>(QStringLiteral("FindDialog"))->windowTitle(), "Find");
    EXPECT_EQ(row(results()->headerItem()), "Name | Kit | Map | Note");
}
