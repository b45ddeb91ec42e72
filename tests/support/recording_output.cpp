#include "tests/support/recording_output.h"

#include <algorithm>

namespace padscope {

std::string RecordingOutput::portName(int index) const
{
    if (index < 0 || index >= portCount())
        return {};
    return clipPortName(listed_[static_cast<std::size_t>(index)].name);
}

void RecordingOutput::refresh()
{
    // The open port keeps its connection under its new number; one that has
    // gone takes every later send with it.
    const std::string openName = open_ >= 0 ? listed_[static_cast<std::size_t>(open_)].name : std::string{};
    listed_ = ports_;
    const auto found = std::find_if(listed_.begin(), listed_.end(),
                                    [&openName](const Port& p) { return p.name == openName; });
    open_ = open_ >= 0 && found != listed_.end() ? static_cast<int>(found - listed_.begin()) : -1;
}

bool RecordingOutput::open(int index)
{
    if (index < 0 || index >= portCount())
        return false;
    const std::string& name = listed_[static_cast<std::size_t>(index)].name;
    const auto present = std::find_if(ports_.begin(), ports_.end(), [&name](const Port& p) { return p.name == name; });
    if (present == ports_.end() || !present->opens)
        return false;
    open_ = index;
    events_.push_back({Event::Kind::Open, {}, index});
    return true;
}

void RecordingOutput::close()
{
    if (open_ < 0)
        return;
    events_.push_back({Event::Kind::Close, {}, open_});
    open_ = -1;
}

void RecordingOutput::send(std::span<const std::uint8_t> message)
{
    if (open_ < 0)
        return;
    if (beforeSend)
        beforeSend();
    events_.push_back({Event::Kind::Message, MidiMessage(message), open_});
}

std::vector<std::uint32_t> RecordingOutput::shortWords() const
{
    std::vector<std::uint32_t> words;
    for (const auto& e : events_)
        if (e.kind == Event::Kind::Message && !e.message.isSysex())
            words.push_back(packed(e.message));
    return words;
}

std::vector<std::string> RecordingOutput::trace() const
{
    std::vector<std::string> t;
    for (const auto& e : events_) {
        const char* kind = e.kind == Event::Kind::Open    ? "open"
                           : e.kind == Event::Kind::Close ? "close"
                           : e.message.isSysex()          ? "sysex"
                                                          : "short";
        t.push_back(std::string(kind) + " " + std::to_string(e.port));
    }
    return t;
}

void RecordingOutput::setAudioFailureHandler(AudioFailureHandler handler)
{
    const std::lock_guard lock(handlerMutex_);
    audioFailureHandler_ = std::move(handler);
}

AudioFailureHandler RecordingOutput::audioFailureHandler() const
{
    const std::lock_guard lock(handlerMutex_);
    return audioFailureHandler_;
}

}  // namespace padscope
