#include "ui/drum_sound_page.h"

#include "ui/audition_throttle.h"
#include "ui/click_label.h"
#include "ui/controller_bar.h"
#include "ui/fonts.h"
#include "ui/placed_label.h"
#include "catalogue/drum_names.h"
#include "catalogue/sound_finder.h"
#include "core/midi/drum_sound_messages.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTimer>

namespace padscope {

namespace {

struct RowLook {
    const char* caption;  // translated when shown
    int minimum, maximum;
    int offset;   // added to the bar's position to give the data byte
    int neutral;  // where the bar rests while the parameter is unchanged
};

constexpr std::array<RowLook, kDrumParameterCount> kRowLooks{{
    {QT_TRANSLATE_NOOP("padscope::DrumSoundPage", "ピッチ="), -64, 63, 0x40, 0},
    {QT_TRANSLATE_NOOP("padscope::DrumSoundPage", "レベル="), 0, 127, 0, 127},
    {QT_TRANSLATE_NOOP("padscope::DrumSoundPage", "パン="), 0, 127, 0, 64},
    {QT_TRANSLATE_NOOP("padscope::DrumSoundPage", "リバーブ="), 0, 127, 0, 127},
    {QT_TRANSLATE_NOOP("padscope::DrumSoundPage", "コーラス="), 0, 127, 0, 0},
    {QT_TRANSLATE_NOOP("padscope::DrumSoundPage", "ディレイ="), 0, 127, 0, 0},
}};
// On XG the last send goes to the variation effect.
constexpr const char* kVariationCaption = QT_TRANSLATE_NOOP("padscope::DrumSoundPage", "バリエーション=");
constexpr int kXgMap = 0;

constexpr int kLeft = 16;
// Value labels stand where the longest caption in either language ends.
constexpr int kValueLeft = 120;
constexpr int kFirstRow = 56;
constexpr int kRowHeight = 52;
constexpr int kBarWidth = 257;
constexpr int kBarHeight = 17;
constexpr int kButtonLeft = 320;
constexpr int kButtonWidth = 217;
constexpr int kButtonHeight = 25;
// A note played from the page sounds this long.
constexpr std::chrono::milliseconds kAuditionLength{300};

QString accessibleNameOf(QString caption)
{
    if (caption.endsWith(QLatin1Char('=')))
        caption.chop(1);
    return caption;
}

}  // namespace

DrumSoundPage::DrumSoundPage(DrumSoundServices services, DrumEdits edits, QWidget* parent)
    : QWidget(parent), services_(std::move(services)), edits_(std::move(edits))
{
    setObjectName(QStringLiteral("TabSheet3"));
    const QFont font = uiFont(12);

    auto* noteCaption = new QLabel(tr("ノート="), this);
    noteCaption->setFont(font);
    placeLabel(noteCaption, QStringLiteral("DrumSoundNoteCaption"), {kLeft, 16});
    noteLabel_ = new QLabel(this);
    noteLabel_->setFont(font);
    placeLabel(noteLabel_, QStringLiteral("DrumSoundNote"), {kValueLeft, 16});

    QWidget* previous = nullptr;
    for (std::size_t i = 0; i < kDrumParameterCount; ++i) {
        const RowLook& look = kRowLooks[i];
        const int top = kFirstRow + kRowHeight * static_cast<int>(i);
        Row& row = rows_[i];
        row.caption = new ClickLabel(tr(look.caption), this);
        row.caption->setFont(font);
        placeLabel(row.caption, QStringLiteral("DrumSoundCaption%1").arg(i + 1), {kLeft, top});
        row.caption->setToolTip(tr("クリックで「変更なし」に戻す（Delete キーでも）"));
        row.value = new QLabel(this);
        row.value->setFont(font);
        placeLabel(row.value, QStringLiteral("DrumSoundValue%1").arg(i + 1), {kValueLeft, top});

        auto* bar = new ControllerBar(this);
        bar->setObjectName(QStringLiteral("DrumSoundBar%1").arg(i + 1));
        bar->setFont(font);
        bar->setGeometry(kLeft + 8, top + 22, kBarWidth, kBarHeight);
        bar->setRange(look.minimum, look.maximum);
        bar->setValue(look.neutral);
        bar->setSingleStep(1);
        bar->setPageStep(8);
        bar->setTracking(true);
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->installEventFilter(this);
        row.bar = bar;
        connect(bar, &QScrollBar::valueChanged, this, [this, i](int position) {
            if (!showing_)
                userMoved(i, position);
        });
        connect(row.caption, &ClickLabel::clicked, this, [this, i] { setUnchanged(i); });
        if (previous)
            QWidget::setTabOrder(previous, bar);
        previous = bar;
    }

    auto addButton = [&](const QString& name, const QString& text, int top, void (DrumSoundPage::*action)()) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setFont(font);
        button->setGeometry(kButtonLeft, top, kButtonWidth, kButtonHeight);
        button->setAccessibleName(text);
        connect(button, &QPushButton::clicked, this, action);
        QWidget::setTabOrder(previous, button);
        previous = button;
        return button;
    };
    addButton(QStringLiteral("DrumSoundResetNote"), tr("この音を元に戻す"), kFirstRow, &DrumSoundPage::resetNote);
    addButton(QStringLiteral("DrumSoundResetKit"), tr("キットを元に戻す"), kFirstRow + 32, &DrumSoundPage::resetKit);
    addButton(QStringLiteral("DrumSoundSave"), tr("MIDIファイルに保存…"), kFirstRow + 96,
              &DrumSoundPage::saveMidiFileAs);
    addButton(QStringLiteral("DrumSoundCopy"), tr("MIDIイベントとしてコピー"), kFirstRow + 128,
              &DrumSoundPage::copyMidiEvents);
    auto* hint = new QLabel(tr("動かした値だけを送ります。\n「変更なし」の値は音源のままです。"), this);
    hint->setFont(font);
    placeLabel(hint, QStringLiteral("DrumSoundHint"), {kButtonLeft, kFirstRow + 176});

    throttle_ = new AuditionThrottle([this] { audition(); }, this);
    releaseTimer_ = new QTimer(this);
    releaseTimer_->setSingleShot(true);
    releaseTimer_->setInterval(kAuditionLength);
    connect(releaseTimer_, &QTimer::timeout, this, [this] {
        if (sounding_ >= 0 && services_.release)
            services_.release(sounding_);
        sounding_ = -1;
    });
    showValues();
}

void DrumSoundPage::showKit(int map, int program)
{
    map_ = map;
    program_ = program;
    showValues();
}

void DrumSoundPage::showNote(int note)
{
    if (note < 0 || note > 127)
        return;
    note_ = note;
    showValues();
}

void DrumSoundPage::takeEdit(int note, DrumParameter parameter, int value)
{
    edits_.set(map_, program_, note, parameter, value);
    showNote(note);
}

void DrumSoundPage::showValues()
{
    noteLabel_->setText(QString::fromStdString(noteName(note_)) + QStringLiteral("  ")
                        + QString::fromUtf8(drumName(program_, note_, map_)));
    noteLabel_->adjustSize();
    noteLabel_->setAccessibleName(noteLabel_->text());

    const NoteEdit* edit = edits_.find(map_, program_, note_);
    showing_ = true;
    for (std::size_t i = 0; i < kDrumParameterCount; ++i) {
        const DrumParameter parameter = kDrumParameters[i].parameter;
        Row& row = rows_[i];
        const bool present = mapHasParameter(map_, parameter);
        row.caption->setVisible(present);
        row.value->setVisible(present);
        row.bar->setVisible(present);
        if (parameter == DrumParameter::Delay) {
            row.caption->setText(tr(map_ == kXgMap ? kVariationCaption : kRowLooks[i].caption));
            row.caption->adjustSize();
            row.bar->setToolTip(tr("内蔵シンセにはディレイ効果がありません。音源にだけ効きます"));
        }
        row.bar->setAccessibleName(accessibleNameOf(row.caption->text()));
        const auto value = edit ? edit->value(parameter) : std::nullopt;
        row.bar->setValue(value ? *value - kRowLooks[i].offset : kRowLooks[i].neutral);
        showValueLabel(i);
    }
    showing_ = false;
}

void DrumSoundPage::showValueLabel(std::size_t index)
{
    const DrumParameter parameter = kDrumParameters[index].parameter;
    const NoteEdit* edit = edits_.find(map_, program_, note_);
    const auto value = edit ? edit->value(parameter) : std::nullopt;
    QString text;
    if (!value) {
        text = tr("変更なし");
    } else if (parameter == DrumParameter::Pitch) {
        const int semitones = *value - 0x40;
        text = semitones > 0 ? QStringLiteral("+%1").arg(semitones) : QString::number(semitones);
    } else if (parameter == DrumParameter::Pan) {
        text = *value == 0    ? tr("ランダム")
               : *value < 64  ? QStringLiteral("L%1").arg(64 - *value)
               : *value == 64 ? QStringLiteral("C")
                              : QStringLiteral("R%1").arg(*value - 64);
    } else {
        text = QString::number(*value);
    }
    Row& row = rows_[index];
    row.value->setText(text);
    row.value->adjustSize();
    row.bar->setAccessibleDescription(text);
}

void DrumSoundPage::userMoved(std::size_t index, int position)
{
    const DrumParameter parameter = kDrumParameters[index].parameter;
    const int value = position + kRowLooks[index].offset;
    const NoteEdit* edit = edits_.find(map_, program_, note_);
    if (edit && edit->value(parameter) == value)
        return;
    edits_.set(map_, program_, note_, parameter, value);
    showValueLabel(index);
    throttle_->request();
}

void DrumSoundPage::setUnchanged(std::size_t index)
{
    edits_.set(map_, program_, note_, kDrumParameters[index].parameter, std::nullopt);
    showValues();
}

void DrumSoundPage::resetNote()
{
    edits_.resetNote(map_, program_, note_);
    showValues();
}

void DrumSoundPage::resetKit()
{
    edits_.resetKit(map_, program_);
    showValues();
}

void DrumSoundPage::audition()
{
    if (sounding_ >= 0 && services_.release)
        services_.release(sounding_);
    if (services_.play)
        services_.play(note_);
    sounding_ = note_;
    releaseTimer_->start();
}

bool DrumSoundPage::saveMidiFile(const QString& path) const
{
    const ControllerValues controllers = services_.controllers ? services_.controllers() : defaultControllerValues();
    const std::string bytes =
        standardMidiFile(drumSoundSong(controllers, map_, program_, edits_.kit(map_, program_)));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return file.commit();
}

QString DrumSoundPage::midiEventsText() const
{
    const ControllerValues controllers = services_.controllers ? services_.controllers() : defaultControllerValues();
    return QString::fromStdString(hexLines(drumSoundSetUp(controllers, map_, program_, edits_.kit(map_, program_))));
}

void DrumSoundPage::saveMidiFileAs()
{
    QString path = QFileDialog::getSaveFileName(this, tr("MIDIファイルに保存"), QString(), tr("MIDIファイル (*.mid)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".mid"), Qt::CaseInsensitive) && !path.endsWith(QStringLiteral(".midi"), Qt::CaseInsensitive))
        path += QStringLiteral(".mid");
    if (!saveMidiFile(path))
        QMessageBox::warning(this, QStringLiteral("Padscope"), tr("MIDIファイルを書けません: %1").arg(path));
}

void DrumSoundPage::copyMidiEvents()
{
    QGuiApplication::clipboard()->setText(midiEventsText());
}

// The keys of a focused bar move it as on the controller page (every arrow
// by one, the page keys by eight); Delete and Backspace make it unchanged.
bool DrumSoundPage::eventFilter(QObject* watched, QEvent* event)
{
    auto* bar = qobject_cast<QScrollBar*>(watched);
    if (event->type() != QEvent::KeyPress || bar == nullptr)
        return QWidget::eventFilter(watched, event);
    std::size_t index = 0;
    while (index < rows_.size() && rows_[index].bar != bar)
        ++index;
    if (index == rows_.size())
        return QWidget::eventFilter(watched, event);

    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
        setUnchanged(index);
        event->accept();
        return true;
    }
    const QAbstractSlider::SliderAction action = controllerBarAction(key);
    if (action == QAbstractSlider::SliderNoAction)
        return QWidget::eventFilter(watched, event);
    bar->triggerAction(action);
    // A bar already at the end still takes its value when it was unchanged.
    userMoved(index, bar->value());
    event->accept();
    return true;
}

}  // namespace padscope
