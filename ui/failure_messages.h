#pragma once

#include "core/failure.h"

#include <QObject>
#include <QPointer>

#include <deque>
#include <mutex>
#include <optional>

class QWidget;

namespace padscope {

// The window's end of the failure channel. report() may be called from any
// thread and returns at once; the failure is shown in a message box on the
// GUI thread once control is back in its event loop, never inside the call
// that met it. Until a window is given, and while it is hidden, failures
// wait for showWaiting().
class FailureMessages final : public Notifier {
public:
    void report(FailureReport failure) override;
    // From now on each failure opens a box over `window` as it comes, modal
    // but without waiting for the user.
    void showOver(QWidget& window);
    // Shows each failure reported so far, one modal box after another, each
    // waited for: the start-up messages before the window shows, the last
    // ones once it has closed.
    void showWaiting();

private:
    std::optional<FailureReport> next();
    void showQueued();

    std::mutex mutex_;
    std::deque<FailureReport> waiting_;
    QPointer<QWidget> window_;  // GUI thread only
    QObject context_;           // what is still queued goes with it
};

}  // namespace padscope
