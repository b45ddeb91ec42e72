#include "recording_output.h"

namespace padscope {

std::string RecordingOutput::portName(int index) const
{
    if (index < 0 || index >= portCount())
        return {};
    return clipPortName(ports_[static_cast<std::size_t>(index)].name);
}

PortProbe RecordingOutput::probe(int index) const
{
    return index >= 0 && index < portCount() ? PortProbe::Ok : PortProbe::NoSuchPort;
}

bool RecordingOutput::open(int index)
{
    if (probe(index) != PortProbe::Ok || !ports_[static_cast<std::size_t>(index)].opens)
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

}  // namespace padscope
