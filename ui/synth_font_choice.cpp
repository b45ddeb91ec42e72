#include "ui/synth_font_choice.h"

#include "ui/kit_select_button.h"
#include "catalogue/kits.h"
#include "core/failure.h"
#include "core/midi/port_session.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QPointer>
#include <QStringList>
#include <QThreadPool>

#include <algorithm>

namespace padscope {

SynthFontChoice::SynthFontChoice(QWidget* window, SynthFontServices services, std::string remembered,
                                 PortSession& session, Notifier& notifier, std::span<KitSelectButton* const> kitButtons,
                                 std::function<void(int index)> choosePort)
    : QObject(window), window_(window), services_(std::move(services)), session_(session), notifier_(notifier),
      kitButtons_(kitButtons), choosePort_(std::move(choosePort)), fonts_(services_.fonts),
      chosen_(std::move(remembered))
{
    if (fonts_)
        planKits(*fonts_);
}

bool SynthFontChoice::synthIsOpen() const
{
    return !services_.portName.empty() && session_.portName() == services_.portName;
}

int SynthFontChoice::synthPort() const
{
    const std::vector<std::string> names = session_.portNames();
    const auto at = std::find(names.begin(), names.end(), services_.portName);
    return services_.portName.empty() || at == names.end() ? -1 : static_cast<int>(at - names.begin());
}

void SynthFontChoice::openDialog()
{
    auto* dialog = new QFileDialog(window_, tr("SoundFont を選ぶ"));
    dialog->setObjectName(QStringLiteral("SoundFontDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters({tr("SoundFont (*.sf2 *.sf3 *.SF2 *.SF3)"), tr("すべてのファイル (*)")});
    if (fonts_)
        dialog->setDirectory(QString::fromStdString(fonts_->base.parent_path().string()));
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) { play(file.toStdString()); });
    dialog->open();
}

void SynthFontChoice::play(const std::filesystem::path& file)
{
    const int port = synthPort();
    if (port < 0 || !services_.load)
        return;
    // A synth whose fonts would not play, when it was opened last, is not
    // opened again with them: it takes the new ones as it is.
    if (session_.portIndex() != port)
        choosePort_(port);
    // Answered on the synth's worker: taken here, unless the window has gone.
    const QPointer<SynthFontChoice> self(this);
    const auto answer = [self, file](const std::optional<FailureReport>& failure) {
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [self, file, failure] {
                if (self)
                    self->answered(file, failure);
            });
    };
    if (!services_.load({file}, answer))
        notifier_.report({Failure::PortOpenFailed});
}

void SynthFontChoice::answered(const std::filesystem::path& file, const std::optional<FailureReport>& failure)
{
    if (failure) {
        notifier_.report(*failure);
        return;
    }
    chosen_ = file.string();
    fonts_ = SoundFontSet{file, {}};
    plan_.reset();
    // A synth that could not play before opens again, now with these fonts.
    if (const int port = synthPort(); !synthIsOpen() && port >= 0 && session_.portIndex() == port)
        choosePort_(port);
    showWhatSounds();
    planKits(*fonts_);
}

void SynthFontChoice::planKits(const SoundFontSet& fonts)
{
    // Reading a font's presets takes a while on a cold disk.
    const int asked = ++plansAsked_;
    if (!services_.plan)
        return;
    const QPointer<SynthFontChoice> self(this);
    QThreadPool::globalInstance()->start([self, fonts, asked, planner = services_.plan] {
        std::optional<KitPlan> plan = planner(fonts);
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [self, plan = std::move(plan), asked] {
                if (self && asked == self->plansAsked_) {
                    self->plan_ = plan;
                    self->showWhatSounds();
                }
            });
    });
}

void SynthFontChoice::showWhatSounds()
{
    const bool shown = synthIsOpen() && plan_;
    for (std::size_t i = 0; i < kKitButtons.size() && i < kitButtons_.size(); ++i) {
        if (!shown) {
            kitButtons_[i]->setToolTip(QString());
            continue;
        }
        const KitChoice& choice = (*plan_)[static_cast<std::size_t>(kKitButtons[i].program)];
        QString tip;
        if (choice.program < 0) {
            tip = tr("内蔵シンセ: このキットの音色はありません");
        } else if (choice.own) {
            tip = tr("内蔵シンセ: このキット自身の音色 %1").arg(QString::fromStdString(choice.presetName)).trimmed();
        } else {
            const KitButton* standIn = findKit(choice.program);
            tip = tr("内蔵シンセ: %1 で代用")
                      .arg(standIn ? QString::fromUtf8(standIn->caption) : QString::fromStdString(choice.presetName));
        }
        kitButtons_[i]->setToolTip(tip);
    }
}

QString SynthFontChoice::fontNames() const
{
    if (!synthIsOpen() || !fonts_)
        return {};
    QStringList names{QString::fromStdString(fonts_->base.filename().string())};
    for (const auto& overlay : fonts_->overlays)
        names << QString::fromStdString(overlay.filename().string());
    return names.join(QStringLiteral(" + "));
}

}  // namespace padscope
