// The effect page's scroll bars and labels, driven as widgets.
#include "ui/click_label.h"
#include "ui/controller_page.h"
#include "ui/fonts.h"
#include "catalogue/kits.h"
#include "tests/panel/scroll_bar_driving.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>

#include <memory>

using namespace padscope;
using namespace padscope::test;

namespace {

struct Row {
    const char* bar;
    const char* caption;
    const char* captionText;
    const char* value;
    QPoint barAt, captionAt, valueAt;
    int minimum, maximum, initial;
    const char* initialText;
};

// The panel as it should be laid out, written out independently of the
// page's own table.
const Row kExpected[] = {
    {"ScrollBar1", "Label38", "ベロシティー=", "Label39", {24, 37}, {16, 16}, {88, 16}, 0, 127, 100, "100"},
    {"ScrollBar2", "Label40", "リバーブ=", "Label41", {24, 96}, {16, 72}, {70, 72}, 0, 127, 40, "40"},
    {"ScrollBar3", "Label42", "コーラス=", "Label43", {24, 152}, {16, 128}, {70, 128}, 0, 127, 0, "0"},
    {"ScrollBar4", "Label44", "ディレイ=", "Label45", {24, 208}, {16, 184}, {66, 184}, 0, 127, 0, "0"},
    {"ScrollBar5", "Label46", "ピッチベント=", "Label47", {24, 264}, {24, 240}, {94, 240}, -8192, 8191, 0, "0"},
    {"ScrollBar6", "Label55", "ピッチベンドセンシティビティー=", "Label53", {24, 320}, {24, 296}, {184, 296}, 0, 24, 2, "2"},
    {"ScrollBar7", "Label54", "モジュレーション=", "Label56", {24, 384}, {24, 360}, {120, 360}, 0, 127, 0, "0"},
    {"ScrollBar8", "Label57", "カットオフ=", "Label58", {200, 40}, {200, 16}, {256, 16}, -64, 63, 0, "0"},
    {"ScrollBar9", "Label59", "レゾナンス=", "Label60", {200, 96}, {200, 72}, {264, 72}, -64, 63, 0, "0"},
    {"ScrollBar10", "Label61", "アタックタイム=", "Label62", {200, 152}, {200, 128}, {280, 128}, -64, 63, 0, "0"},
    {"ScrollBar11", "Label63", "ディケイタイム=", "Label64", {200, 208}, {200, 184}, {280, 184}, -64, 63, 0, "0"},
    {"ScrollBar12", "Label65", "リリースタイム=", "Label66", {200, 264}, {200, 240}, {280, 240}, -64, 63, 0, "0"},
    {"ScrollBar13", "Label67", "ビブラートレイト=", "Label68", {200, 320}, {200, 296}, {288, 296}, -64, 63, 0, "0"},
    {"ScrollBar14", "Label69", "ビブラートデプス=", "Label70", {200, 384}, {200, 360}, {296, 360}, -64, 63, 0, "0"},
    {"ScrollBar15", "Label71", "ビブラートディレイ=", "Label72", {376, 40}, {376, 16}, {480, 16}, -64, 63, 0, "0"},
};

QStringList valueTexts(const ControllerPage& page)
{
    QStringList texts;
    for (std::size_t i = 0; i < kControllerCount; ++i)
        texts << page.valueLabel(i)->text();
    return texts;
}

}  // namespace

class ControllerPageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTabWidget> tabs_;
    QWidget* sheet_ = nullptr;
    ControllerPage* page_ = nullptr;

    template <typename T>
    T* child(const char* name) const
    {
        return sheet_->findChild<T*>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
    }

private slots:
    void initTestCase() { installFontSubstitutes(); }

    void init()
    {
        tabs_ = std::make_unique<QTabWidget>();
        tabs_->resize(801, 473);
        tabs_->addTab(new QWidget, QStringLiteral("楽器"));
        page_ = new ControllerPage;
        sheet_ = page_;
        tabs_->addTab(sheet_, QStringLiteral("エフェクト"));
        tabs_->setCurrentIndex(1);
        tabs_->show();
        QVERIFY(QTest::qWaitForWindowExposed(tabs_.get()));
    }

    void cleanup() { tabs_.reset(); }

    void layoutMatchesThePanel()
    {
        for (std::size_t i = 0; i < std::size(kExpected); ++i) {
            const Row& row = kExpected[i];
            auto* bar = child<QScrollBar>(row.bar);
            auto* caption = child<QLabel>(row.caption);
            auto* value = child<QLabel>(row.value);
            QVERIFY2(bar && caption && value, row.bar);
            QCOMPARE(page_->bar(i), bar);
            QCOMPARE(bar->geometry(), QRect(row.barAt, QSize(137, 17)));
            QCOMPARE(bar->orientation(), Qt::Horizontal);
            QCOMPARE(bar->minimum(), row.minimum);
            QCOMPARE(bar->maximum(), row.maximum);
            QCOMPARE(bar->value(), row.initial);
            QCOMPARE(bar->singleStep(), 1);
            QCOMPARE(bar->pageStep(), 1);
            QVERIFY(bar->focusPolicy() & Qt::TabFocus);
            QCOMPARE(caption->pos(), row.captionAt);
            QCOMPARE(caption->text(), QString::fromUtf8(row.captionText));
            QCOMPARE(value->pos(), row.valueAt);
            QCOMPARE(value->text(), QString::fromUtf8(row.initialText));
            // Only the velocity caption explains what a click does.
            QCOMPARE(caption->toolTip(), i == 0 ? QStringLiteral("デフォルトに戻す") : QString());
        }
        QCOMPARE(page_->values(), defaultControllerValues());

        auto* frame = child<QGroupBox>("RadioGroup1");
        QVERIFY(frame);
        QCOMPARE(frame->title(), QStringLiteral("マップ切り替え"));
        QCOMPARE(frame->geometry(), QRect(568, 224, 201, 201));
        QCOMPARE(frame->focusPolicy(), Qt::NoFocus);
        const QRect radios[] = {{592, 264, 169, 17}, {592, 296, 145, 17}, {592, 328, 129, 17},
                                {592, 360, 89, 17}, {592, 392, 145, 17}};
        const char* captions[] = {"SC-8850 Map", "SC-88Pro Map", "SC-88 Map", "SC-55 Map", "TG-300B(XG音源)"};
        const int mapIndex[] = {4, 3, 2, 1, 0};
        for (int k = 0; k < 5; ++k) {
            auto* radio = child<QRadioButton>(qPrintable(QStringLiteral("RadioButton%1").arg(k + 1)));
            QVERIFY(radio);
            QCOMPARE(radio->parentWidget(), sheet_);
            QCOMPARE(radio->geometry(), radios[k]);
            QCOMPARE(radio->text(), QString::fromUtf8(captions[k]));
            QVERIFY(!radio->isChecked());
            QCOMPARE(page_->mapButton(mapIndex[k]), radio);
            QVERIFY(frame->geometry().contains(radio->geometry()));
        }
        QCOMPARE(page_->mapButton(5), nullptr);
    }

    // The five radio buttons exclude each other although the frame is not
    // their parent.
    void mapButtonsFormOneGroup()
    {
        page_->mapButton(1)->click();
        page_->mapButton(3)->click();
        QVERIFY(page_->mapButton(3)->isChecked());
        for (int map : {0, 1, 2, 4})
            QVERIFY(!page_->mapButton(map)->isChecked());
    }

    void tabOrderOfThePage()
    {
        QStringList order;
        QWidget* w = page_->bar(0);
        for (int guard = 0; guard < 200 && order.size() < 20; ++guard) {
            if (w->parentWidget() == sheet_ && (w->focusPolicy() & Qt::TabFocus))
                order << w->objectName();
            w = w->nextInFocusChain();
            if (w == page_->bar(0))
                break;
        }
        QStringList expected;
        for (int i = 1; i <= 5; ++i)
            expected << QStringLiteral("ScrollBar%1").arg(i);
        for (int i = 1; i <= 5; ++i)
            expected << QStringLiteral("RadioButton%1").arg(i);
        for (int i = 6; i <= 15; ++i)
            expected << QStringLiteral("ScrollBar%1").arg(i);
        QCOMPARE(order.mid(0, 20), expected);
    }

    void keyboardMovesByOneAndJumpsToTheEnds()
    {
        QScrollBar* bend = page_->bar(kPitchBend);
        QLabel* label = page_->valueLabel(kPitchBend);
        bend->setFocus();
        const std::pair<Qt::Key, int> steps[] = {
            {Qt::Key_Right, 1}, {Qt::Key_Down, 2}, {Qt::Key_PageDown, 3}, {Qt::Key_Left, 2},
            {Qt::Key_Up, 1},    {Qt::Key_PageUp, 0}, {Qt::Key_PageUp, -1}, {Qt::Key_Home, -8192},
            {Qt::Key_Left, -8192}, {Qt::Key_End, 8191}, {Qt::Key_PageDown, 8191}, {Qt::Key_Up, 8190},
        };
        for (auto [key, expected] : steps) {
            QTest::keyClick(bend, key);
            QCOMPARE(bend->value(), expected);
            QCOMPARE(label->text(), QString::number(expected));
        }
    }

    // A click in the trough moves the thumb by one, the same as an arrow.
    void arrowAndTroughClicksMoveByOne()
    {
        QScrollBar* bar = page_->bar(kReverb);
        const std::pair<QStyle::SubControl, int> clicks[] = {
            {QStyle::SC_ScrollBarAddLine, 41}, {QStyle::SC_ScrollBarAddPage, 42},
            {QStyle::SC_ScrollBarSubPage, 41}, {QStyle::SC_ScrollBarSubLine, 40},
        };
        for (auto [part, expected] : clicks) {
            const QRect area = scrollBarPart(bar, part);
            QVERIFY(!area.isEmpty());
            sendMouse(bar, QEvent::MouseButtonPress, area.center(), Qt::LeftButton, Qt::LeftButton);
            sendMouse(bar, QEvent::MouseButtonRelease, area.center(), Qt::LeftButton, Qt::NoButton);
            QCOMPARE(bar->value(), expected);
            QCOMPARE(page_->valueLabel(kReverb)->text(), QString::number(expected));
        }
    }

    void negativePositionsShowAMinusSign()
    {
        page_->bar(kCutoff)->setValue(-64);
        page_->bar(kPitchBend)->setValue(-8192);
        page_->bar(kVibratoDelay)->setValue(-1);
        QCOMPARE(page_->valueLabel(kCutoff)->text(), QStringLiteral("-64"));
        QCOMPARE(page_->valueLabel(kPitchBend)->text(), QStringLiteral("-8192"));
        QCOMPARE(page_->valueLabel(kVibratoDelay)->text(), QStringLiteral("-1"));
        page_->bar(kCutoff)->setValue(63);
        QCOMPARE(page_->valueLabel(kCutoff)->text(), QStringLiteral("63"));
        // Out of range requests are clamped by the bar itself.
        page_->bar(kResonance)->setValue(500);
        QCOMPARE(page_->values()[kResonance], 63);
        QCOMPARE(page_->valueLabel(kResonance)->text(), QStringLiteral("63"));
    }

    void draggingTheThumbChangesOnlyItsOwnLabel()
    {
        QScrollBar* bar = page_->bar(kPitchBend);
        const QStringList before = valueTexts(*page_);
        const ControllerValues valuesBefore = page_->values();
        QSignalSpy changes(bar, &QScrollBar::valueChanged);

        QStringList seen;
        dragThumb(bar, -32, 4, [&] {
            // The label follows while the thumb is still held.
            QVERIFY(bar->isSliderDown());
            seen << page_->valueLabel(kPitchBend)->text();
            QCOMPARE(seen.last(), QString::number(bar->value()));
        });

        QVERIFY(bar->value() < 0);
        QCOMPARE(changes.size(), 4);
        QCOMPARE(seen.last(), QString::number(bar->value()));
        QStringList after = valueTexts(*page_);
        QCOMPARE(after.takeAt(kPitchBend), QString::number(bar->value()));
        QStringList expectedOthers = before;
        expectedOthers.removeAt(kPitchBend);
        QCOMPARE(after, expectedOthers);
        ControllerValues expected = valuesBefore;
        expected[kPitchBend] = bar->value();
        QCOMPARE(page_->values(), expected);
    }

    void captionClickResetsOnlyABarOffItsDefault()
    {
        // Already at its default: nothing happens at all.
        QSignalSpy untouched(page_->bar(kVelocity), &QScrollBar::valueChanged);
        QTest::mouseClick(child<QLabel>("Label38"), Qt::LeftButton);
        QCOMPARE(untouched.size(), 0);
        QCOMPARE(child<QLabel>("Label39")->text(), QStringLiteral("100"));
        QCOMPARE(page_->values(), defaultControllerValues());

        page_->bar(kPitchBend)->setValue(5000);
        QCOMPARE(child<QLabel>("Label47")->text(), QStringLiteral("5000"));
        QTest::mouseClick(child<QLabel>("Label46"), Qt::LeftButton);
        QCOMPARE(page_->bar(kPitchBend)->value(), 0);
        QCOMPARE(child<QLabel>("Label47")->text(), QStringLiteral("0"));

        // Only a left click resets.
        page_->bar(kPitchBend)->setValue(-3);
        QTest::mouseClick(child<QLabel>("Label46"), Qt::RightButton);
        QCOMPARE(page_->bar(kPitchBend)->value(), -3);
    }

    // Every caption label resets the bar of its own row, including the
    // irregularly numbered ones of bars 6 and 7.
    void everyCaptionResetsItsOwnBar()
    {
        for (std::size_t i = 0; i < kControllerCount; ++i)
            page_->bar(i)->setValue(kExpected[i].minimum == kExpected[i].initial ? kExpected[i].maximum
                                                                                : kExpected[i].minimum);
        for (std::size_t i = 0; i < kControllerCount; ++i) {
            QTest::mouseClick(child<QLabel>(kExpected[i].caption), Qt::LeftButton);
            for (std::size_t j = 0; j < kControllerCount; ++j) {
                const bool reset = j <= i;
                QCOMPARE(page_->bar(j)->value() == kExpected[j].initial, reset);
            }
            QCOMPARE(child<QLabel>(kExpected[i].value)->text(), QString::fromUtf8(kExpected[i].initialText));
        }
        QCOMPARE(page_->values(), defaultControllerValues());
    }

    // Value labels sit on their caption's line without running into it.
    void labelsDoNotOverlap()
    {
        for (const Row& row : kExpected) {
            auto* caption = child<QLabel>(row.caption);
            auto* value = child<QLabel>(row.value);
            QVERIFY2(caption->geometry().right() < value->x(), row.caption);
            QVERIFY(caption->width() >= caption->sizeHint().width());
            QVERIFY(value->width() >= value->sizeHint().width());
        }
    }
};

QTEST_MAIN(ControllerPageTest)
#include "panel_controller_page_test.moc"
