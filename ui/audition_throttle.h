#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

namespace padscope {

// Lets a dragged control audition without flooding the port: the first
// request plays at once, later ones within the interval are held, and the
// last of them plays when the interval ends.
class AuditionThrottle final : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kInterval{50};

    AuditionThrottle(std::function<void()> play, QObject* parent);
    void request();
    // Within an interval: a request now would wait.
    bool busy() const { return timer_.isActive(); }

private:
    void intervalEnded();

    std::function<void()> play_;
    QTimer timer_;
    bool pending_ = false;
};

}  // namespace padscope
