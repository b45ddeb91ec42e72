#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>
#include <vector>

class QKeyEvent;

namespace padscope {

// Tells a key going up from the keyboard's auto-repeat. X11 sends each repeat
// as a release and a press of the same key with the same time stamp, and Qt
// does not always flag the pair as a repeat. So a release is held back until
// the next key or mouse event on a pad, or a short wait, shows what it was:
// followed by a press of the same key at the same time it was a repeat and is
// dropped; otherwise it is delivered, in order, before whatever came next.
// Only a key pressed on a pad is released on one: the Return that chose a
// place in the find dialog, or a Tab that moved the focus, goes up on a pad
// that never saw it go down.
class KeyReleaseFilter final : public QObject {
    Q_OBJECT
public:
    explicit KeyReleaseFilter(QObject* parent = nullptr);

    // A key release; `deliver` runs once it is known to be real, never for
    // a key that was not pressed on a pad.
    void release(const QKeyEvent& event, std::function<void()> deliver);
    // A key press; true if it was the second half of a repeat pair. Any
    // release held back for another reason is delivered first.
    bool press(const QKeyEvent& event);
    // Delivers a held release now, ahead of an event of another kind.
    void flush();

    bool holding() const { return static_cast<bool>(pending_); }

private:
    struct Key {
        int code;
        quint32 scanCode;
    };
    static bool same(const Key& key, const QKeyEvent& event);
    void waitedOut();

    QTimer timer_;
    QElapsedTimer held_;     // since the release was held back
    bool waitedAgain_ = false;
    std::function<void()> pending_;
    int key_ = 0;
    quint32 scanCode_ = 0;
    quint64 timestamp_ = 0;
    std::vector<Key> down_;  // pressed on a pad, not yet released
};

}  // namespace padscope
