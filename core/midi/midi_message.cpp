#include "core/midi/midi_message.h"

#include <algorithm>

namespace padscope {

namespace {

std::uint8_t dataBytesOf(std::uint8_t status)
{
    const unsigned kind = status & 0xF0u;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

}  // namespace

bool MidiMessage::operator==(const MidiMessage& other) const
{
    return std::ranges::equal(bytes(), other.bytes());
}

MidiMessage channelMessage(std::span<const std::uint8_t> bytes)
{
    std::array<std::uint8_t, 3> out{};
    for (std::size_t i = 0; i < bytes.size() && i < out.size(); ++i)
        out[i] = i == 0 ? bytes[i] : static_cast<std::uint8_t>(bytes[i] & 0x7F);
    return MidiMessage(std::span(out).first(bytes.empty() ? 0u : 1u + dataBytesOf(out[0])));
}

}  // namespace padscope
