#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <vector>

namespace padscope {

// Carries incoming MIDI messages from the input's thread to the thread that
// shows them. post() may be called on any thread; take() hands over all
// messages in the order they were posted. Nothing is dropped: when messages
// come faster than they are taken, they wait in the inbox.
class MidiInbox {
public:
    using Message = std::vector<std::uint8_t>;

    // `wake` is called, on the posting thread, whenever a message arrives in
    // an empty inbox: the taker is then due to take() once.
    explicit MidiInbox(std::function<void()> wake) : wake_(std::move(wake)) {}

    void post(std::span<const std::uint8_t> message);
    std::vector<Message> take();

private:
    std::function<void()> wake_;
    std::mutex mutex_;
    std::vector<Message> messages_;
};

}  // namespace padscope
