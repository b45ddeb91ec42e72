#include "midi_message.h"

#include <algorithm>

namespace padscope {

namespace {

std::uint8_t dataBytesOf(std::uint8_t status)
{
    const unsigned kind = status & 0xF0u;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

}  // namespace

MidiMessage::MidiMessage(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() <= short_.size()) {
        std::copy(bytes.begin(), bytes.end(), short_.begin());
        shortSize_ = static_cast<std::uint8_t>(bytes.size());
    } else {
        long_.assign(bytes.begin(), bytes.end());
    }
}

bool MidiMessage::operator==(const MidiMessage& other) const
{
    return std::ranges::equal(bytes(), other.bytes());
}

MidiMessage shortMessage(std::uint8_t status, int data1, int data2)
{
    auto seven = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 127)); };
    const std::array<std::uint8_t, 3> bytes{status, seven(data1), seven(data2)};
    return MidiMessage(std::span(bytes).first(1u + dataBytesOf(status)));
}

MidiMessage channelMessage(std::span<const std::uint8_t> bytes)
{
    std::array<std::uint8_t, 3> out{};
    for (std::size_t i = 0; i < bytes.size() && i < out.size(); ++i)
        out[i] = i == 0 ? bytes[i] : static_cast<std::uint8_t>(bytes[i] & 0x7F);
    return MidiMessage(std::span(out).first(bytes.empty() ? 0u : 1u + dataBytesOf(out[0])));
}

}  // namespace padscope
