#pragma once

#include <array>
#include <cstdint>

namespace padscope {

// Remembers what a synth's channels were last told, so that a message that
// would change nothing (the same controller value, program or pitch bend)
// can be dropped before it reaches the synth. Notes always pass, and so do
// data entry and channel mode messages, whose effect depends on more than
// their own value.
class RedundantMessageFilter {
public:
    RedundantMessageFilter() { forget(); }

    // Whether the short message must reach the synth; remembers what it sets.
    bool passes(std::uint32_t word);
    // Nothing is known any more: after a system exclusive message, a reset
    // or a new open.
    void forget();

private:
    struct Channel {
        std::array<std::int8_t, 128> controllers;  // -1: unknown
        int program = -1;
        int pitchBend = -1;
        bool bankChanged = false;  // a bank select since the last Program Change
    };
    static void forget(Channel& channel);

    std::array<Channel, 16> channels_;
};

}  // namespace padscope
