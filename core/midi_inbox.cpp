#include "core/midi_inbox.h"

namespace padscope {

void MidiInbox::post(std::span<const std::uint8_t> message)
{
    bool wasEmpty = false;
    {
        const std::lock_guard lock(mutex_);
        wasEmpty = messages_.empty();
        messages_.emplace_back(message.begin(), message.end());
    }
    // One wake-up for a whole run of messages: the taker takes them all.
    if (wasEmpty && wake_)
        wake_();
}

std::vector<MidiInbox::Message> MidiInbox::take()
{
    std::vector<Message> taken;
    const std::lock_guard lock(mutex_);
    taken.swap(messages_);
    return taken;
}

}  // namespace padscope
