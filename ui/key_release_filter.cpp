#include "ui/key_release_filter.h"

#include <QKeyEvent>

#include <algorithm>
#include <chrono>

namespace padscope {

namespace {

// The repeat's press leaves the X server together with its release; this is
// only the time for it to come through the event queues.
constexpr std::chrono::milliseconds kPairWait{30};

}  // namespace

KeyReleaseFilter::KeyReleaseFilter(QObject* parent) : QObject(parent)
{
    timer_.setSingleShot(true);
    timer_.setInterval(kPairWait);
    connect(&timer_, &QTimer::timeout, this, &KeyReleaseFilter::waitedOut);
}

bool KeyReleaseFilter::same(const Key& key, const QKeyEvent& event)
{
    // The scan code names the key itself; its code may change with Shift
    // let go in between ("!" down, "1" up).
    if (key.scanCode != 0 || event.nativeScanCode() != 0)
        return key.scanCode == event.nativeScanCode();
    return key.code == event.key();
}

void KeyReleaseFilter::release(const QKeyEvent& event, std::function<void()> deliver)
{
    const auto pressed = std::ranges::find_if(down_, [&](const Key& key) { return same(key, event); });
    if (pressed == down_.end())
        return;
    down_.erase(pressed);
    flush();
    // Without a time stamp a release cannot be paired: it counts at once.
    if (event.timestamp() == 0) {
        deliver();
        return;
    }
    pending_ = std::move(deliver);
    key_ = event.key();
    scanCode_ = event.nativeScanCode();
    timestamp_ = event.timestamp();
    held_.start();
    waitedAgain_ = false;
    timer_.start();
}

void KeyReleaseFilter::waitedOut()
{
    // A wait that ended late means the event loop was busy: the repeat's
    // press may be queued behind this timer. Give it one more wait.
    if (!waitedAgain_ && held_.elapsed() > 2 * kPairWait.count()) {
        waitedAgain_ = true;
        timer_.start();
        return;
    }
    flush();
}

bool KeyReleaseFilter::press(const QKeyEvent& event)
{
    if (std::ranges::none_of(down_, [&](const Key& key) { return same(key, event); }))
        down_.push_back({event.key(), event.nativeScanCode()});
    if (pending_ && event.timestamp() == timestamp_ && event.key() == key_
        && event.nativeScanCode() == scanCode_) {
        timer_.stop();
        pending_ = nullptr;
        return true;
    }
    flush();
    return false;
}

void KeyReleaseFilter::flush()
{
    timer_.stop();
    if (auto deliver = std::exchange(pending_, nullptr))
        deliver();
}

}  // namespace padscope
