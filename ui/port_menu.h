#pragma once

#include "ui/interface_language.h"

#include <QObject>

#include <functional>
#include <string>

class QMenu;
class QPoint;
class QPushButton;

namespace padscope {

class InputSession;
class PortSession;

// The port list of "音源の変更": a right click on the button, or the
// context-menu key while it has the focus, lists the ports as they are at
// that moment, the open one checked; choosing one moves to it. The button's
// own click is left alone.
class PortMenu final : public QObject {
    Q_OBJECT
public:
    using Choose = std::function<void(int index)>;

    PortMenu(QPushButton* button, PortSession& session, Choose choose);

    // The built-in synth's entry: while `fonts` says anything, it names
    // them; under it "SoundFont…" calls `choose`.
    struct SynthEntry {
        std::string portName;
        std::function<QString()> fonts;
        std::function<void()> choose;
    };
    void setSynth(SynthEntry synth) { synth_ = std::move(synth); }

    // Ends the list with "探す…", which calls `open`.
    void setFind(std::function<void()> open) { openFind_ = std::move(open); }

    // After "探す…": "ヘルプ", which calls `open`.
    void setHelp(std::function<void()> open) { openHelp_ = std::move(open); }

    // Last, the languages, the one the next start uses checked; choosing
    // one calls `choose`.
    struct LanguageChoices {
        std::function<Language()> current;
        std::function<void(Language)> choose;
    };
    void setLanguages(LanguageChoices languages) { languages_ = std::move(languages); }

    // The section "入力": "なし" and the input ports as they are when the list
    // opens, the watched one checked, then "Thru".
    struct InputChoices {
        InputSession* session = nullptr;
        std::function<void(int index)> choose;  // -1 for "なし"
        std::function<bool()> thru;
        std::function<void(bool on)> setThru;
    };
    void setInput(InputChoices input) { input_ = std::move(input); }

    // Lists the ports again and shows them at `globalPos`.
    void popup(const QPoint& globalPos);
    QMenu* menu() const { return menu_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void fillInput();
    void fillLanguages();

    QPushButton* button_;
    PortSession& session_;
    Choose choose_;
    std::function<void()> openFind_;
    std::function<void()> openHelp_;
    LanguageChoices languages_;
    SynthEntry synth_;
    InputChoices input_;
    QMenu* menu_;
    QMenu* languageMenu_ = nullptr;
};

}  // namespace padscope
