#include "core/midi/rtmidi_output.h"

#include "core/midi/rtmidi_api.h"

namespace padscope {

RtMidiOutput::RtMidiOutput(std::string clientName)
    : ports_(std::make_unique<RtMidiPorts<RtMidiOut>>(std::move(clientName)))
{
    refresh();
}

RtMidiOutput::~RtMidiOutput() = default;

int RtMidiOutput::portCount() const
{
    return static_cast<int>(ports_->ports().size());
}

std::string RtMidiOutput::portName(int index) const
{
    if (!ports_->listed(index))
        return {};
    return clipPortName(ports_->ports()[static_cast<std::size_t>(index)].stableName());
}

std::string RtMidiOutput::portKey(int index) const
{
    if (!ports_->listed(index))
        return {};
    const auto& port = ports_->ports()[static_cast<std::size_t>(index)];
    // The API's number and the full name.
    return std::to_string(static_cast<int>(port.kind)) + '/' + port.fullName;
}

void RtMidiOutput::refresh()
{
    ports_->refresh();
}

bool RtMidiOutput::open(int index)
{
    RtMidiOpening opening = ports_->open(index, ports_->clientName());
    failedOpen_ = std::move(opening.reason);
    return opening.opened;
}

void RtMidiOutput::close()
{
    ports_->close();
}

void RtMidiOutput::send(std::span<const std::uint8_t> message)
{
    RtMidiOut* out = ports_->opened();
    if (!out || message.empty())
        return;
    try {
        out->sendMessage(message.data(), message.size());
    } catch (const RtMidiError& error) {
        logRtMidiError(error);
    }
}

}  // namespace padscope
