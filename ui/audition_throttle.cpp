#include "ui/audition_throttle.h"

namespace padscope {

AuditionThrottle::AuditionThrottle(std::function<void()> play, QObject* parent)
    : QObject(parent), play_(std::move(play))
{
    timer_.setSingleShot(true);
    timer_.setInterval(kInterval);
    connect(&timer_, &QTimer::timeout, this, &AuditionThrottle::intervalEnded);
}

void AuditionThrottle::request()
{
    if (timer_.isActive()) {
        pending_ = true;
        return;
    }
    play_();
    timer_.start();
}

void AuditionThrottle::intervalEnded()
{
    if (!pending_)
        return;
    pending_ = false;
    play_();
    timer_.start();
}

}  // namespace padscope
