#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <functional>

class QPushButton;

namespace padscope {

class LinkLabel;

// Opens a link target with the desktop's default handler. `owner` is the
// window the request comes from: always the main window.
using LinkOpener = std::function<void(const QUrl& target, QWidget* owner)>;

// The opener the program uses: QDesktopServices::openUrl, result ignored.
LinkOpener desktopLinkOpener();

// The about box: one instance, created hidden at start and shown modelessly
// from the version label. It is a top-level window of its own, not a child of
// the main window, so it can lie behind it; it does not keep the program
// running once the main window has closed. It is deleted together with the
// main window (or by its creator if it has none). Its controls are named
// Panel1, ProgramIcon, Label1, Label2, OKButton and so on, by which the
// tests find them.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    // Without a home page given when the program is built, the web link
    // calls `showManual` instead.
    AboutBox(QWidget* mainWindow, LinkOpener opener, std::function<void()> showManual = {});

    // What a click on the version label does: shows the box, centred on the
    // screen the first time and where it was left after that. While the box
    // is visible it does nothing at all, not even bring it to the front;
    // only a minimised box is restored.
    void showFromVersionLabel();

    LinkLabel* webLink() const { return webLink_; }
    LinkLabel* mailLink() const { return mailLink_; }
    QPushButton* okButton() const { return okButton_; }

    // Left and top that centre a window of the given outer size on a screen
    // of the given size; a negative result becomes 0.
    static QPoint centredOrigin(QSize screen, QSize window);

    // The first showing, however it comes about, centres the box on the
    // screen; after that it stays where the user left it.
    void setVisible(bool visible) override;

public slots:
    // The box has no cancel button: Escape and anything else that rejects
    // the dialog leave it as it is.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void openLink(const QUrl& target);
    void centreOnScreen();
    void checkFrame(bool tick);

    QPointer<QWidget> mainWindow_;
    LinkOpener opener_;
    std::function<void()> showManual_;
    LinkLabel* webLink_ = nullptr;
    LinkLabel* mailLink_ = nullptr;
    QPushButton* okButton_ = nullptr;
    bool shownBefore_ = false;
    bool frameSettled_ = true;  // false while the first showing looks for its frame
    QMargins centredWith_;      // the frame margins the box was last centred for
    static constexpr int kFrameChecks = 100;  // timer ticks, about 5 s
    int frameChecks_ = 0;
    QTimer frameWatch_;
};

}  // namespace padscope
