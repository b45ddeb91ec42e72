#pragma once

#include "catalogue/kits.h"
#include "core/midi/drum_sound_messages.h"
#include "core/midi/port_session.h"
#include "core/settings/settings.h"
#include "ui/interface_language.h"
#include "ui/synth_font_choice.h"

#include <QWidget>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>

class QLabel;
class QTabWidget;
class QUrl;

namespace padscope {

class AboutBox;
class ControllerPage;
class DrumSoundPage;
class FindDialog;
class IncomingRoute;
class InputSession;
class MidiInput;
class PortMenu;
struct IncomingState;
class KitSelectButton;
class LinkLabel;
class ManualWindow;
class PadPage;

// What the main window needs from the rest of the program; tests pass
// recording stand-ins.
struct MainWindowServices {
    MidiOutput& output;
    Notifier& notifier;
    PortSession::Sleep sleep;
    std::function<void(const QUrl& target, QWidget* owner)> openLink;
    Settings saved;                                     // as read from the settings file
    std::function<void(const Settings&)> saveSettings;  // called when the window closes
    SynthFontServices synthFonts = {};
    Language language = Language::Japanese;  // the language the windows are built in
};

// The program's main window, Form1: the pads and controller pages, the kit
// buttons and the status strip. Start-up runs in the constructor, so the
// window is complete before it is first shown. Its controls are named
// Button130..Button167, Label1..Label74, PageControl1 and Panel1, numbered
// across the whole window, by which the tests find them.
class MainWindow final : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowServices services);
    ~MainWindow() override;

    // The routines every control's handlers come down to.
    void playCurrentNote();     // the whole press: controllers, map, kit, Note On
    void stopCurrentNote();     // the release: Note On at velocity 0
    void keyPlayCurrentNote();  // a key press: plays unless a key already holds a note
    void refreshPads();         // Program Change, then all 128 captions
    void showProgramNumber();
    void updateKitButtons();    // enables the kits the chosen map has
    void changePort();          // the next port, reset, its name shown
    void choosePort(int index); // a port from the list, as changePort()
    void openFind();            // the "探す" dialog, in front
    void showManual();          // the user's manual, in front (F1)
    // The language of the next start, remembered at close.
    void chooseLanguage(Language language);
    ManualWindow* manual() const { return manual_; }
    // The built-in synth plays `file`, as if chosen in "SoundFont…".
    void playSoundFont(const std::filesystem::path& file) { synthFonts_->play(file); }
    // Selects the map, then the kit, as their buttons do, and puts the focus
    // on the note's pad.
    void showFound(int program, int map, int note);

    // Watches `input`: the remembered port opens, and what arrives shows on
    // the pads, the kit buttons and the map, and with thru on goes on to
    // the output. The input must outlive the window.
    void attachInput(MidiInput& input);
    // Shows what has arrived since the last call; Thru has passed it on
    // already, on the input's own thread. Runs on its own as messages arrive.
    void takeIncoming();
    // Off: the notes Thru started end.
    void setThru(bool on);
    bool thru() const { return thru_; }

    int currentNote() const { return currentNote_; }
    int currentProgram() const { return currentProgram_; }
    int currentMap() const { return currentMap_; }
    bool keyHeld() const { return keyHeld_; }
    const PortSession& portSession() const { return session_; }
    AboutBox* aboutBox() const { return aboutBox_.get(); }
    ControllerPage* controllerPage() const { return controllers_; }
    DrumSoundPage* drumSoundPage() const { return drumSound_; }
    // What would be saved if the window closed now.
    Settings currentSettings() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void startUp();
    void shutDown();
    void buildWindow();
    void buildKitButtons();
    void buildDrumSoundPage();
    void buildStatusStrip();
    void connectPads();
    void selectKit(int program);
    void showCheckedKit();
    void showIncoming(const IncomingState& state);
    // A port that failed after it opened, or a message it refused.
    void portFailed(Failure failure, const std::string& reason);
    void releaseIncoming();
    void mapButtonToggled(int map, bool checked);
    void setOuterGeometry(int left, int top, int width, int height);
    void applySavedGeometry();
    static void setLabel(QLabel* label, const QString& text);

    MainWindowServices services_;
    PortSession session_;

    int currentNote_ = 0;     // note of the pad pressed last
    int currentProgram_ = 0;  // chosen kit, 0-based
    int currentMap_ = kDefaultMap;
    bool keyHeld_ = false;    // a key on a pad is down and has sounded

    QTabWidget* pageControl_ = nullptr;
    PadPage* padPage_ = nullptr;
    ControllerPage* controllers_ = nullptr;
    DrumSoundPage* drumSound_ = nullptr;
    std::array<KitSelectButton*, kKitButtons.size()> kitButtons_{};
    QLabel* deviceLabel_ = nullptr;   // Label2
    QLabel* mapLabel_ = nullptr;      // Label74
    QLabel* programLabel_ = nullptr;  // Label49
    QLabel* soundLabel_ = nullptr;    // Label52
    LinkLabel* versionLabel_ = nullptr;  // Label48
    // A window of its own, not a child: it may lie behind the main window.
    std::unique_ptr<AboutBox> aboutBox_;
    FindDialog* findDialog_ = nullptr;  // made when first asked for
    ManualWindow* manual_ = nullptr;    // made when first asked for
    PortMenu* portMenu_ = nullptr;
    std::unique_ptr<IncomingRoute> route_;
    std::unique_ptr<InputSession> input_;
    bool thru_ = false;
    std::string chosenLanguage_;  // as the settings keep it: empty until one is chosen
    SynthFontChoice* synthFonts_ = nullptr;
    // Set while an incoming message moves the kit or the map: the module
    // has heard it already, so nothing is sent.
    bool watching_ = false;
    bool closed_ = false;
    bool shown_ = false;
    bool frameSettled_ = false;
};

}  // namespace padscope
