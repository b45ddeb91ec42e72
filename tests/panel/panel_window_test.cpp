// The controller page, version label and about box inside the real main
// window: what reaches the MIDI output when a pad is pressed.
#include "ui/about_box.h"
#include "ui/controller_page.h"
#include "ui/fonts.h"
#include "ui/link_label.h"
#include "ui/main_window.h"
#include "tests/support/recording_output.h"
#include "tests/panel/scroll_bar_driving.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include <memory>
#include <optional>
#include <vector>

using namespace padscope;
using namespace padscope::test;

namespace {

// A short message as three bytes, for readable comparisons.
QByteArray bytes(std::uint32_t word)
{
    const char raw[] = {char(word & 0xFF), char(word >> 8 & 0xFF), char(word >> 16 & 0xFF)};
    return QByteArray(raw, 3).toHex(' ').toUpper();
}

}  // namespace

class PanelWindowTest : public QObject {
    Q_OBJECT

    RecordingOutput output_{{{"Module A", true}, {"Module B", true}}};
    RecordingNotifier notifier_;
    std::vector<std::pair<QUrl, QWidget*>> opened_;
    std::unique_ptr<MainWindow> window_;

    template <typename T = QWidget>
    T* find(const QString& name) const
    {
        return window_->findChild<T*>(name);
    }
    QScrollBar* bar(int n) const { return find<QScrollBar>(QStringLiteral("ScrollBar%1").arg(n)); }
    QPushButton* pad(int k) const { return find<QPushButton>(QStringLiteral("Button%1").arg(k)); }
    QLabel* label(int n) const { return find<QLabel>(QStringLiteral("Label%1").arg(n)); }

    // Presses and releases pad 37 (note 36); returns the messages of the press.
    std::vector<std::uint32_t> pressPad()
    {
        output_.clearEvents();
        QTest::mousePress(pad(37), Qt::LeftButton);
        std::vector<std::uint32_t> sent = output_.shortWords();
        QTest::mouseRelease(pad(37), Qt::LeftButton);
        return sent;
    }

    // The message of the press whose status and first data byte match.
    static std::optional<std::uint32_t> messageFor(const std::vector<std::uint32_t>& sent, std::uint8_t status,
                                                   int data1)
    {
        std::optional<std::uint32_t> found;
        for (std::uint32_t w : sent)
            if ((w & 0xFF) == status && int(w >> 8 & 0xFF) == data1)
                found = w;  // the last one: the Note On follows every other message
        return found;
    }
    static std::optional<std::uint32_t> bendIn(const std::vector<std::uint32_t>& sent)
    {
        for (std::uint32_t w : sent)
            if ((w & 0xFF) == 0xE9)
                return w;
        return std::nullopt;
    }

private slots:
    void initTestCase() { installFontSubstitutes(); }

    void init()
    {
        opened_.clear();
        window_ = std::make_unique<MainWindow>(MainWindowServices{
            output_, notifier_, [](std::chrono::milliseconds) {},
            [this](const QUrl& target, QWidget* owner) { opened_.emplace_back(target, owner); }, Settings{},
            [](const Settings&) {}});
        QVERIFY(window_->controllerPage());
        QVERIFY(window_->aboutBox());
    }

    void cleanup() { window_.reset(); }

    // Each bar is moved with Home or End on the keyboard and a pad press
    // then carries the encoding of that end.
    void rangeEndsReachTheMidiBytes_data()
    {
        QTest::addColumn<int>("bar");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("data1");  // -1: the Note On of the press
        QTest::addColumn<QByteArray>("expected");
        auto row = [](const char* name, int bar, Qt::Key key, int status, int data1, const char* expected) {
            QTest::newRow(name) << bar << int(key) << status << data1 << QByteArray(expected);
        };
        row("velocity 0", 1, Qt::Key_Home, 0x99, -1, "99 24 00");
        row("velocity 127", 1, Qt::Key_End, 0x99, -1, "99 24 7F");
        row("reverb 0", 2, Qt::Key_Home, 0xB9, 91, "B9 5B 00");
        row("reverb 127", 2, Qt::Key_End, 0xB9, 91, "B9 5B 7F");
        row("chorus 0", 3, Qt::Key_Home, 0xB9, 93, "B9 5D 00");
        row("chorus 127", 3, Qt::Key_End, 0xB9, 93, "B9 5D 7F");
        row("delay 0", 4, Qt::Key_Home, 0xB9, 94, "B9 5E 00");
        row("delay 127", 4, Qt::Key_End, 0xB9, 94, "B9 5E 7F");
        row("bend -8192", 5, Qt::Key_Home, 0xE9, -2, "E9 00 00");
        row("bend 8191", 5, Qt::Key_End, 0xE9, -2, "E9 7F 7F");
        row("bend range 0", 6, Qt::Key_Home, 0xB9, 6, "B9 06 00");
        row("bend range 24", 6, Qt::Key_End, 0xB9, 6, "B9 06 18");
        row("modulation 0", 7, Qt::Key_Home, 0xB9, 1, "B9 01 00");
        row("modulation 127", 7, Qt::Key_End, 0xB9, 1, "B9 01 7F");
        const int controllers[] = {74, 71, 73, 75, 72, 76, 77, 78};  // bars 8..15
        for (int i = 0; i < 8; ++i) {
            const int cc = controllers[i];
            const QByteArray head = QByteArray("B9 ") + QByteArray::number(cc, 16).toUpper() + ' ';
            QTest::newRow(qPrintable(QStringLiteral("bar %1 at -64").arg(8 + i)))
                << 8 + i << int(Qt::Key_Home) << 0xB9 << cc << QByteArray(head + "00");
            QTest::newRow(qPrintable(QStringLiteral("bar %1 at 63").arg(8 + i)))
                << 8 + i << int(Qt::Key_End) << 0xB9 << cc << QByteArray(head + "7F");
        }
    }

    void rangeEndsReachTheMidiBytes()
    {
        QFETCH(int, bar);
        QFETCH(int, key);
        QFETCH(int, status);
        QFETCH(int, data1);
        QFETCH(QByteArray, expected);

        output_.clearEvents();
        QTest::keyClick(this->bar(bar), Qt::Key(key));
        QVERIFY(output_.events().empty());  // moving a bar sends nothing

        const std::vector<std::uint32_t> sent = pressPad();
        QCOMPARE(sent.size(), 23u);
        std::optional<std::uint32_t> word;
        if (data1 == -1)
            word = sent.back();
        else if (data1 == -2)
            word = bendIn(sent);
        else
            word = messageFor(sent, std::uint8_t(status), data1);
        QVERIFY(word);
        QCOMPARE(bytes(*word), expected);
    }

    void dragSendsNothingUntilTheNextPress()
    {
        QScrollBar* bend = bar(5);
        output_.clearEvents();
        dragThumb(bend, 30, 3, [] {});
        const int position = bend->value();
        QVERIFY(position > 0);
        QCOMPARE(label(47)->text(), QString::number(position));
        QVERIFY(output_.events().empty());

        const int value = position + 8192;
        const std::uint32_t expected = 0xE9u | std::uint32_t(value & 0x7F) << 8 | std::uint32_t(value >> 7) << 16;
        QCOMPARE(bytes(*bendIn(pressPad())), bytes(expected));
    }

    void resetSendsNothingAndTheNextPressCarriesTheDefault()
    {
        bar(5)->setValue(5000);
        output_.clearEvents();
        QTest::mouseClick(label(46), Qt::LeftButton);
        QVERIFY(output_.events().empty());
        QCOMPARE(label(47)->text(), QStringLiteral("0"));
        QCOMPARE(bytes(*bendIn(pressPad())), QByteArray("E9 00 40"));
    }

    void versionLabelHoverAndClickShowTheBox()
    {
        auto* version = find<LinkLabel>(QStringLiteral("Label48"));
        QVERIFY(version);
        QVERIFY(version->text().startsWith(QStringLiteral("Padscope version 1.1  ")));
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(version, &enter);
        QCOMPARE(version->textColour(), QColor(0, 0, 255));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(version, &leave);
        QCOMPARE(version->textColour(), QColor(0, 0, 0));

        AboutBox* box = window_->aboutBox();
        QVERIFY(!box->isVisible());
        QTest::mouseClick(version, Qt::LeftButton);
        QVERIFY(box->isVisible());

        // The links name the main window as their owner.
        QTest::mouseClick(box->mailLink(), Qt::LeftButton);
        QCOMPARE(opened_.size(), 1u);
        QVERIFY(opened_[0].first.toString().startsWith(QStringLiteral("mailto:")));
        QCOMPARE(opened_[0].second, window_.get());
    }

    // With the box open the window keeps working: pads play, kits change and
    // the bars still count.
    void boxIsModeless()
    {
        QTest::mouseClick(find<LinkLabel>(QStringLiteral("Label48")), Qt::LeftButton);
        QVERIFY(window_->aboutBox()->isVisible());
        QVERIFY(window_->isEnabled());

        QTest::keyClick(bar(1), Qt::Key_Home);
        QTest::keyClick(bar(1), Qt::Key_Right);
        find<QPushButton>(QStringLiteral("Button133"))->click();  // ROOM, program 8
        const std::vector<std::uint32_t> sent = pressPad();
        QCOMPARE(sent.size(), 23u);
        QCOMPARE(bytes(sent.back()), QByteArray("99 24 01"));
        QCOMPARE(bytes(*messageFor(sent, 0xC9, 8)), QByteArray("C9 08 00"));
        QVERIFY(window_->aboutBox()->isVisible());
    }

    // The focused pad or bar, and only that one, wears the highlight-coloured
    // frame just inside its left edge.
    void focusMarkFollowsTheFocus()
    {
        window_->show();
        QApplication::setActiveWindow(window_.get());
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        auto marked = [](QWidget* control) {
            const QImage image = control->grab().toImage();
            return image.pixelColor(1, image.height() / 2) == control->palette().color(QPalette::Highlight);
        };
        pad(37)->setFocus();
        QVERIFY(marked(pad(37)));
        QVERIFY(!marked(pad(38)));
        pad(38)->setFocus();
        QVERIFY(!marked(pad(37)));
        QVERIFY(marked(pad(38)));
        bar(2)->setFocus();
        QVERIFY(marked(bar(2)));
        QVERIFY(!marked(bar(3)));
        QVERIFY(!marked(pad(38)));
    }
};

QTEST_MAIN(PanelWindowTest)
#include "panel_window_test.moc"
