// The port list behind "音源の変更" on a recording output.
#include "tests/window/window_fixture.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QScreen>
#include <QTest>

#include <algorithm>

using namespace padscope;
using namespace padscope::test;

namespace {

class PortMenuTest : public WindowFixture {
protected:
    // Asks Button129 for its context menu as a right click or the menu key does.
    QMenu* openMenu(QContextMenuEvent::Reason reason = QContextMenuEvent::Mouse)
    {
        QPushButton* port = button(129);
        QContextMenuEvent request(reason, QPoint(5, 5), port->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(port, &request);
        return find<QMenu>(QStringLiteral("PortMenu"));
    }
    static std::vector<std::string> items(const QMenu* menu)
    {
        std::vector<std::string> texts;
        for (const QAction* a : menu->actions())
            texts.push_back((a->isChecked() ? "* " : "") + a->text().toStdString());
        return texts;
    }
};

}  // namespace

TEST_F(PortMenuTest, RightClickListsPortsPluggedInAfterStartAndChoosingOneIsRemembered)
{
    saved.deviceIndex = 1;
    saved.deviceName = "Module B";
    saved.left = saved.top = 0;  // room below the button for the menu
    start();
    output.ports().push_back({"Late & Loud", true});
    QMenu* menu = openMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    ASSERT_EQ(items(menu), (std::vector<std::string>{"Module A", "* Module B", "Module C", "Late && Loud", "", "探す…",
                                                     "ヘルプ", "言語 (Language)"}));

    forget();
    menu->actions()[3]->trigger();
    EXPECT_EQ(labelText(2), "Late & Loud");
    EXPECT_EQ(output.openPort(), 3);
    ASSERT_FALSE(output.events().empty());
    EXPECT_EQ(output.trace().back(), "sysex 3");
    menu->hide();

    // The left click wraps over the list the menu took.
    QTest::mouseClick(button(129), Qt::LeftButton);
    EXPECT_EQ(labelText(2), "Module A");
    // From the keyboard it opens right under the button, not over it.
    menu = openMenu(QContextMenuEvent::Keyboard);
    ASSERT_EQ(menu->actions().size(), 8);  // four ports, a separator, "探す…", "ヘルプ", the languages
    const QPushButton* port = button(129);
    const QPoint underButton = port->mapToGlobal(QPoint(0, port->height()));
    EXPECT_EQ(menu->geometry().top(), underButton.y());
    // The style may shift it by its margin, and a menu is kept on the screen.
    const int screenRight = port->screen()->availableGeometry().right() + 1;
    EXPECT_NEAR(menu->geometry().left(), std::min(underButton.x(), screenRight - menu->width()), 8);
    menu->actions()[3]->trigger();
    window->close();
    ASSERT_EQ(savedAtClose.size(), 1u);
    EXPECT_EQ(savedAtClose[0].deviceIndex, 3);
    EXPECT_EQ(savedAtClose[0].deviceName, "Late & Loud");
    EXPECT_TRUE(notifier.failures.empty());
}
