#pragma once

#include "core/synth/kit_plan.h"
#include "core/midi/midi_output.h"
#include "core/synth/sound_fonts.h"

#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

class QWidget;

namespace padscope {

class KitSelectButton;
class Notifier;
class PortSession;

// The built-in synth's SoundFonts as the window deals with them.
struct SynthFontServices {
    std::string portName;               // the synth's port in the list; empty: there is none
    std::optional<SoundFontSet> fonts;  // what it plays from the start
    // Asks the open port to play `files` in place of its fonts; it tells
    // `done` on a thread of its own. False when the port cannot.
    std::function<bool(std::vector<std::filesystem::path> files, SoundFontsLoaded done)> load;
    // What plays for each kit from the fonts; run off the GUI thread.
    std::function<std::optional<KitPlan>(const SoundFontSet& fonts)> plan;
};

// Choosing the synth's SoundFont ("SoundFont…" and its file dialog), and
// saying what it plays: while the synth is the open port, each kit
// button's tooltip names the preset that plays for its kit.
class SynthFontChoice final : public QObject {
    Q_OBJECT
public:
    // `kitButtons` go in the order of kKitButtons; `choosePort` moves to a
    // port as the port list does.
    SynthFontChoice(QWidget* window, SynthFontServices services, std::string remembered, PortSession& session,
                    Notifier& notifier, std::span<KitSelectButton* const> kitButtons,
                    std::function<void(int index)> choosePort);

    void openDialog();
    // The synth plays `file`, opened first if another port is: the window
    // goes on at once, and hears later how that went.
    void play(const std::filesystem::path& file);
    // The port has changed: the tooltips show or go.
    void showWhatSounds();
    // The synth's font files, while it is the open port; else empty.
    QString fontNames() const;
    // The font chosen here, to remember; empty when none ever was.
    const std::string& chosen() const { return chosen_; }

private:
    bool synthIsOpen() const;
    int synthPort() const;  // -1 when the list has no synth
    void answered(const std::filesystem::path& file, const std::optional<FailureReport>& failure);
    void planKits(const SoundFontSet& fonts);  // off this thread

    QWidget* window_;
    const SynthFontServices services_;
    PortSession& session_;
    Notifier& notifier_;
    const std::span<KitSelectButton* const> kitButtons_;
    const std::function<void(int index)> choosePort_;
    std::optional<SoundFontSet> fonts_;  // what the synth plays
    std::string chosen_;
    std::optional<KitPlan> plan_;  // what plays for each kit from fonts_
    int plansAsked_ = 0;           // the last plan asked for is the one shown
};

}  // namespace padscope
