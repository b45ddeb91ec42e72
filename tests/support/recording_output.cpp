#include "recording_output.h"

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

PortProbe RecordingOutput::probe(int index) const
{
    return index >= 0 && index < portCount() ? PortProbe::Ok : PortProbe::NoSuchPort;
}

bool RecordingOutput::open(int index)
{
    if (probe(index) != PortProbe::Ok)
        return false;
    const std::string& name = listed_[static_cast<std::size_t>(index)].name;
    const auto present = std::find_if(ports_.begin(), ports_.end(), [&name](const Port& p) { return p.name == name; });
    if (present == ports_.end() || !present->opens)
        return false;
    open_ = index;
    events_.push_back({Event::Kind::Open, index, 0, {}});
    return true;
}

void RecordingOutput::close()
{
    if (open_ < 0)
        return;
    events_.push_back({Event::Kind::Close, open_, 0, {}});
    open_ = -1;
}

void RecordingOutput::reset()
{
    if (open_ >= 0)
        events_.push_back({Event::Kind::Reset, open_, 0, {}});
}

void RecordingOutput::sendShort(std::uint32_t word)
{
    if (open_ >= 0)
        events_.push_back({Event::Kind::Short, open_, word, {}});
}

void RecordingOutput::sendSysex(std::span<const std::uint8_t> bytes)
{
    if (open_ >= 0)
        events_.push_back({Event::Kind::Sysex, open_, 0, {bytes.begin(), bytes.end()}});
}

std::vector<std::uint32_t> RecordingOutput::shortWords() const
{
    std::vector<std::uint32_t> words;
    for (const auto& e : events_)
        if (e.kind == Event::Kind::Short)
            words.push_back(e.word);
    return words;
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
