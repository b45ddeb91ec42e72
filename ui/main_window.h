#pragma once

#include "pad_page.h"
#include "port_session.h"
#include "settings.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QLabel;
class QTabWidget;
class QUrl;

namespace padscope {

class AboutBox;
class ControllerPage;
class KitSelectButton;
class LinkLabel;

// What the main window needs from the rest of the program; tests pass
// recording stand-ins.
struct MainWindowServices {
    MidiOutput& output;
    Notifier& notifier;
    PortSession::Sleep sleep;
    std::function<void(const QUrl& target, QWidget* owner)> openLink;
    Settings saved;                                     // as read from the settings file
    std::function<void(const Settings&)> saveSettings;  // called when the window closes
};

// The program's main window, Form1: the pads and controller pages, the kit
// buttons and the status strip. Start-up runs in the constructor, so the
// window is complete before it is first shown.
class MainWindow final : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowServices services);
    ~MainWindow() override;

    // The routines every control's handlers come down to.
    void PlayCurrentNote();
    void StopCurrentNote();
    void KeyPlayCurrentNote();
    void RefreshPads();
    void ShowProgramNumber();
    void UpdateKitButtons();
    void Button129Click();

    int currentNote() const { return CurrentNote; }
    int currentProgram() const { return CurrentProgram; }
    int currentMap() const { return CurrentMap; }
    bool keyHeld() const { return KeyHeld; }
    const PortSession& portSession() const { return session_; }
    AboutBox* aboutBox() const { return aboutBox_.get(); }
    ControllerPage* controllerPage() const { return controllers_; }
    // What would be saved if the window closed now.
    Settings currentSettings() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void buildWindow();
    void buildKitButtons();
    void buildStatusStrip();
    void connectPads();
    void selectKit(int program);
    void mapButtonToggled(int map, bool checked);
    void setOuterGeometry(int left, int top, int width, int height);
    void applySavedGeometry();
    static void setLabel(QLabel* label, const QString& text);

    MainWindowServices services_;
    PortSession session_;

    int CurrentNote = 0;
    int CurrentProgram = 0;
    int CurrentMap = 4;
    bool KeyHeld = false;

    QTabWidget* pageControl_ = nullptr;
    PadPage padPage_;
    ControllerPage* controllers_ = nullptr;  // owned by its page
    std::array<KitSelectButton*, 38> kitButtons_{};
    QLabel* deviceLabel_ = nullptr;   // Label2
    QLabel* mapLabel_ = nullptr;      // Label74
    QLabel* programLabel_ = nullptr;  // Label49
    QLabel* soundLabel_ = nullptr;    // Label52
    LinkLabel* versionLabel_ = nullptr;  // Label48
    // A window of its own, not a child: it may lie behind the main window.
    std::unique_ptr<AboutBox> aboutBox_;
    bool closed_ = false;
    bool shown_ = false;
    bool frameSettled_ = false;
};

}  // namespace padscope
