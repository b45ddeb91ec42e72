#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace padscope {

// One MIDI message held by value, its bytes as RtMidi and FluidSynth take
// them: status first. A channel message (at most three bytes, every one of a
// press) is kept in place; a longer one, such as a system exclusive message,
// on the heap.
class MidiMessage {
public:
    MidiMessage() = default;
    explicit MidiMessage(std::span<const std::uint8_t> bytes)
    {
        if (bytes.size() > short_.size()) {
            long_.assign(bytes.begin(), bytes.end());
            return;
        }
        // By hand: a call to memmove costs more than these three bytes.
        for (std::size_t i = 0; i < bytes.size(); ++i)
            short_[i] = bytes[i];
        shortSize_ = static_cast<std::uint8_t>(bytes.size());
    }

    std::span<const std::uint8_t> bytes() const
    {
        return long_.empty() ? std::span<const std::uint8_t>(short_.data(), shortSize_)
                             : std::span<const std::uint8_t>(long_);
    }
    operator std::span<const std::uint8_t>() const { return bytes(); }

    std::uint8_t status() const { return shortSize_ > 0 ? short_[0] : long_.empty() ? 0 : long_[0]; }
    int data1() const { return shortSize_ > 1 ? short_[1] : 0; }
    int data2() const { return shortSize_ > 2 ? short_[2] : 0; }
    bool isSysex() const { return status() == 0xF0; }

    bool operator==(const MidiMessage& other) const;

    // A channel message with the data bytes its status calls for (Program
    // Change and Channel Pressure carry one), each kept within 0..127.
    friend MidiMessage shortMessage(std::uint8_t status, int data1, int data2);

private:
    std::array<std::uint8_t, 3> short_{};
    std::uint8_t shortSize_ = 0;
    std::vector<std::uint8_t> long_;
};

inline MidiMessage shortMessage(std::uint8_t status, int data1, int data2 = 0)
{
    auto seven = [](int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 127 ? 127 : v); };
    const unsigned kind = status & 0xF0u;
    MidiMessage message;
    message.short_ = {status, seven(data1), seven(data2)};
    message.shortSize_ = kind == 0xC0 || kind == 0xD0 ? 2 : 3;
    return message;
}

// An incoming channel message as it goes out again: the data bytes its
// status calls for, missing ones as 0, each cut to seven bits.
MidiMessage channelMessage(std::span<const std::uint8_t> bytes);

}  // namespace padscope
