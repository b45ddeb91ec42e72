#include "ui/controller_page.h"

#include "ui/click_label.h"
#include "ui/controller_bar.h"
#include "ui/fonts.h"
#include "catalogue/kits.h"
#include "ui/placed_label.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QRadioButton>
#include <QScrollBar>

#include <string>
#include <string_view>

namespace padscope {

namespace {

struct Point {
    int x, y;
};

// One row of the panel: a bar, the label naming it (a click resets the bar)
// and the label showing its position. The label numbering is irregular
// (bar 6 is Label55/Label53, bar 7 Label54/Label56), hence spelled out.
struct BarRow {
    std::string_view bar;
    std::string_view captionLabel;
    const char* caption;  // translated when shown
    std::string_view valueLabel;
    std::string_view resetText;  // written before the position is reset
    Point barAt, captionAt, valueAt;
};

constexpr std::array<BarRow, kControllerCount> kRows{{
    {"ScrollBar1", "Label38", QT_TRANSLATE_NOOP("padscope::ControllerPage", "ベロシティー="),
     "Label39", "100", {24, 37}, {16, 16}, {88, 16}},
    {"ScrollBar2", "Label40", QT_TRANSLATE_NOOP("padscope::ControllerPage", "リバーブ="),
     "Label41", "40", {24, 96}, {16, 72}, {70, 72}},
    {"ScrollBar3", "Label42", QT_TRANSLATE_NOOP("padscope::ControllerPage", "コーラス="),
     "Label43", "0", {24, 152}, {16, 128}, {70, 128}},
    {"ScrollBar4", "Label44", QT_TRANSLATE_NOOP("padscope::ControllerPage", "ディレイ="),
     "Label45", "0", {24, 208}, {16, 184}, {66, 184}},
    {"ScrollBar5", "Label46", QT_TRANSLATE_NOOP("padscope::ControllerPage", "ピッチベント="),
     "Label47", "0", {24, 264}, {24, 240}, {94, 240}},
    {"ScrollBar6", "Label55", QT_TRANSLATE_NOOP("padscope::ControllerPage", "ピッチベンドセンシティビティー="),
     "Label53", "2", {24, 320}, {24, 296}, {184, 296}},
    {"ScrollBar7", "Label54", QT_TRANSLATE_NOOP("padscope::ControllerPage", "モジュレーション="),
     "Label56", "0", {24, 384}, {24, 360}, {120, 360}},
    {"ScrollBar8", "Label57", QT_TRANSLATE_NOOP("padscope::ControllerPage", "カットオフ="),
     "Label58", "0", {200, 40}, {200, 16}, {256, 16}},
    {"ScrollBar9", "Label59", QT_TRANSLATE_NOOP("padscope::ControllerPage", "レゾナンス="),
     "Label60", "0", {200, 96}, {200, 72}, {264, 72}},
    {"ScrollBar10", "Label61", QT_TRANSLATE_NOOP("padscope::ControllerPage", "アタックタイム="),
     "Label62", "0", {200, 152}, {200, 128}, {280, 128}},
    {"ScrollBar11", "Label63", QT_TRANSLATE_NOOP("padscope::ControllerPage", "ディケイタイム="),
     "Label64", "0", {200, 208}, {200, 184}, {280, 184}},
    {"ScrollBar12", "Label65", QT_TRANSLATE_NOOP("padscope::ControllerPage", "リリースタイム="),
     "Label66", "0", {200, 264}, {200, 240}, {280, 240}},
    {"ScrollBar13", "Label67", QT_TRANSLATE_NOOP("padscope::ControllerPage", "ビブラートレイト="),
     "Label68", "0", {200, 320}, {200, 296}, {288, 296}},
    {"ScrollBar14", "Label69", QT_TRANSLATE_NOOP("padscope::ControllerPage", "ビブラートデプス="),
     "Label70", "0", {200, 384}, {200, 360}, {296, 360}},
    {"ScrollBar15", "Label71", QT_TRANSLATE_NOOP("padscope::ControllerPage", "ビブラートディレイ="),
     "Label72", "0", {376, 40}, {376, 16}, {480, 16}},
}};

constexpr int kBarWidth = 137;
constexpr int kBarHeight = 17;
// The map radio captions are the modules' names; only the XG one holds a
// Japanese word, so only it has a translation.
[[maybe_unused]] constexpr const char* kTranslatedMapCaptions[] = {
    QT_TRANSLATE_NOOP("padscope::ControllerPage", "TG-300B(XG音源)"),
};

struct RadioPlace {
    Point at;
    int width;
};
// RadioButton1..5, in the order of kDrumMaps; all 17 pixels high.
constexpr std::array<RadioPlace, kDrumMaps.size()> kRadioPlaces{{
    {{592, 264}, 169},
    {{592, 296}, 145},
    {{592, 328}, 129},
    {{592, 360}, 89},
    {{592, 392}, 145},
}};
constexpr int kRadioHeight = 17;

}  // namespace

ControllerPage::ControllerPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet2"));
    QWidget* page = this;
    const QFont font = uiFont(12);

    // The frame first, so the radio buttons placed later lie on top of it.
    // Its font before its title: a title set first is measured in the
    // default font, which loads a second font file for nothing.
    mapFrame_ = new QGroupBox(page);
    mapFrame_->setObjectName(QStringLiteral("RadioGroup1"));
    mapFrame_->setFont(font);
    mapFrame_->setTitle(tr("マップ切り替え"));
    mapFrame_->setGeometry(568, 224, 201, 201);
    mapFrame_->setFocusPolicy(Qt::NoFocus);

    for (std::size_t i = 0; i < kControllerCount; ++i) {
        const BarRow& row = kRows[i];
        const ControllerRange& range = kControllerRanges[i];

        auto* caption = new ClickLabel(tr(row.caption), page);
        caption->setFont(font);
        placeLabel(caption, QString::fromUtf8(row.captionLabel), {row.captionAt.x, row.captionAt.y});
        captions_[i] = caption;

        auto* value = new QLabel(QString::fromUtf8(row.resetText), page);
        value->setFont(font);
        values_[i] = placeLabel(value, QString::fromUtf8(row.valueLabel), {row.valueAt.x, row.valueAt.y});

        auto* bar = new ControllerBar(page);
        bar->setObjectName(QString::fromUtf8(row.bar));
        bar->setFont(font);
        bar->setGeometry(row.barAt.x, row.barAt.y, kBarWidth, kBarHeight);
        bar->setRange(range.minimum, range.maximum);
        bar->setValue(range.defaultValue);
        // A click in the trough moves by one, the same as an arrow.
        bar->setSingleStep(1);
        bar->setPageStep(1);
        bar->setTracking(true);
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->installEventFilter(this);
        // A screen reader names the bar as its caption does, without the "=".
        QString name = caption->text();
        if (name.endsWith(QLatin1Char('=')))
            name.chop(1);
        bar->setAccessibleName(name);
        bars_[i] = bar;

        // Connected after the default is set: creating the page runs no handler.
        connect(bar, &QScrollBar::valueChanged, this, [this, i](int position) { showValue(i, position); });
        connect(caption, &ClickLabel::clicked, this, [this, i] { resetBar(i); });
    }
    captions_[0]->setToolTip(tr("デフォルトに戻す"));

    for (std::size_t k = 0; k < kDrumMaps.size(); ++k) {
        const DrumMap& map = kDrumMaps[k];
        auto* button = new QRadioButton(tr(std::string(map.radioCaption).c_str()), page);
        button->setObjectName(QString::fromUtf8(map.radioButton));
        button->setFont(font);
        button->setGeometry(kRadioPlaces[k].at.x, kRadioPlaces[k].at.y, kRadioPlaces[k].width, kRadioHeight);
        button->setChecked(false);
        mapButtons_[k] = button;
    }

    // Tab order of the page: bars 1-5, the map buttons, then bars 6-15.
    QWidget* previous = bars_[0];
    auto chain = [&previous](QWidget* next) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    };
    constexpr std::size_t kBarsBeforeMapButtons = 5;
    for (std::size_t i = 1; i < kBarsBeforeMapButtons; ++i)
        chain(bars_[i]);
    for (QRadioButton* button : mapButtons_)
        chain(button);
    for (std::size_t i = kBarsBeforeMapButtons; i < kControllerCount; ++i)
        chain(bars_[i]);
}

ControllerValues ControllerPage::values() const
{
    ControllerValues result{};
    for (std::size_t i = 0; i < kControllerCount; ++i)
        result[i] = bars_[i]->value();
    return result;
}

QScrollBar* ControllerPage::bar(std::size_t index) const
{
    return index < bars_.size() ? bars_[index] : nullptr;
}

QLabel* ControllerPage::valueLabel(std::size_t index) const
{
    return index < values_.size() ? values_[index] : nullptr;
}

ClickLabel* ControllerPage::captionLabel(std::size_t index) const
{
    return index < captions_.size() ? captions_[index] : nullptr;
}

QRadioButton* ControllerPage::mapButton(int mapIndex) const
{
    for (std::size_t k = 0; k < kDrumMaps.size(); ++k)
        if (kDrumMaps[k].index == mapIndex)
            return mapButtons_[k];
    return nullptr;
}

void ControllerPage::showValue(std::size_t index, int position)
{
    QLabel* label = values_[index];
    label->setText(QString::number(position));
    label->adjustSize();
}

// Two steps: the reset text first, then the position. If the bar already
// stands at its default the second step changes nothing and no change
// handler runs.
void ControllerPage::resetBar(std::size_t index)
{
    QLabel* label = values_[index];
    label->setText(QString::fromUtf8(kRows[index].resetText));
    label->adjustSize();
    bars_[index]->setValue(kControllerRanges[index].defaultValue);
}

// The keyboard on a focused bar: every arrow and both page keys move by one
// unit (left, up and page up towards the minimum), Home and End go to the
// ends. QScrollBar's own handling differs in direction for Up and Page Up,
// so the keys are taken here.
bool ControllerPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* bar = qobject_cast<QScrollBar*>(watched);
    if (bar == nullptr)
        return QWidget::eventFilter(watched, event);

    const QAbstractSlider::SliderAction action = controllerBarAction(static_cast<QKeyEvent*>(event)->key());
    if (action == QAbstractSlider::SliderNoAction)
        return QWidget::eventFilter(watched, event);
    bar->triggerAction(action);
    event->accept();
    return true;
}

}  // namespace padscope
