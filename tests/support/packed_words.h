#pragma once

#include "core/midi/midi_message.h"

#include <cstdint>
#include <vector>

namespace padscope {

// A channel message as one number, status | data1 << 8 | data2 << 16, so
// that a test can spell what it expects as a MIDI monitor's hex would read.
inline std::uint32_t packed(const MidiMessage& message)
{
    return static_cast<std::uint32_t>(message.status() | message.data1() << 8 | message.data2() << 16);
}

inline std::vector<std::uint8_t> byteList(const MidiMessage& message)
{
    return {message.bytes().begin(), message.bytes().end()};
}

template <typename Messages>
std::vector<std::uint32_t> packed(const Messages& messages)
{
    std::vector<std::uint32_t> words;
    for (const MidiMessage& message : messages)
        words.push_back(packed(message));
    return words;
}

}  // namespace padscope
