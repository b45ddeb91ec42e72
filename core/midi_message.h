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
    explicit MidiMessage(std::span<const std::uint8_t> bytes);

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

private:
    std::array<std::uint8_t, 3> short_{};
    std::uint8_t shortSize_ = 0;
    std::vector<std::uint8_t> long_;
};

// A channel message with the data bytes its status calls for (Program Change
// and Channel Pressure carry one), each kept within 0..127.
MidiMessage shortMessage(std::uint8_t status, int data1, int data2 = 0);

// An incoming channel message as it goes out again: the data bytes its
// status calls for, missing ones as 0, each cut to seven bits.
MidiMessage channelMessage(std::span<const std::uint8_t> bytes);

}  // namespace padscope
