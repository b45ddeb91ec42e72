#pragma once

#include "ui/interface_language.h"

#include <QWidget>

class QTextBrowser;

namespace padscope {

// The user's manual, compiled into the program: a window of its own, beside
// the main one, in the interface's language. Links inside the manual stay in
// it; a web address opens in the desktop's browser.
class ManualWindow final : public QWidget {
    Q_OBJECT
public:
    ManualWindow(QWidget* mainWindow, Language language);

    // Shows the window in front, where it was left, or first beside the
    // main window.
    void showInFront();

    QTextBrowser* text() const { return text_; }

private:
    QTextBrowser* text_ = nullptr;
    bool shownBefore_ = false;
};

}  // namespace padscope
