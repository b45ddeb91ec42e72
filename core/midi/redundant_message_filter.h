#pragma once

#include "core/midi/midi_message.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace padscope {

// Remembers what a synth's channels were last told, so that a message that
// would change nothing (the same controller value, program or pitch bend)
// is dropped before it reaches the synth. Parameter selections (RPN, NRPN)
// are held back until a data entry needs them, and a data entry that sets a
// registered parameter to the value it already has is dropped with them.
// Notes and channel mode messages always pass.
class RedundantMessageFilter {
public:
    // What one message turns into: none, the message itself, or held-back
    // selections (at most the four selectors) followed by it. Kept in place,
    // as every message of a press passes here.
    class Messages {
    public:
        void push_back(std::span<const std::uint8_t> message)
        {
            Short& out = messages_[count_++];
            out.size = static_cast<std::uint8_t>(std::min(message.size(), out.bytes.size()));
            for (std::size_t i = 0; i < out.size; ++i)
                out.bytes[i] = message[i];
        }
        std::size_t size() const { return count_; }
        std::span<const std::uint8_t> operator[](std::size_t i) const
        {
            return {messages_[i].bytes.data(), messages_[i].size};
        }

    private:
        struct Short {
            std::array<std::uint8_t, 3> bytes;
            std::uint8_t size;
        };
        std::array<Short, 5> messages_;
        std::size_t count_ = 0;
    };

    RedundantMessageFilter() { forget(); }

    // The messages that must reach the synth for a channel message, in order.
    Messages filter(std::span<const std::uint8_t> message);
    // Nothing is known any more: after a system exclusive message, a reset
    // or a new open.
    void forget();

private:
    // The registered parameters whose data entries are remembered: RPN 0/0
    // to 0/5 (pitch-bend sensitivity, tunings, modulation depth).
    static constexpr int kKnownParameters = 6;

    struct Channel {
        std::array<std::int8_t, 128> controllers;  // as the synth has them; -1: unknown
        std::array<std::int8_t, 4> selection;      // wanted CC 98, 99, 100, 101; -1: unknown
        bool wantNrpn = false;     // the wanted selection is non-registered
        int synthNrpn = -1;        // what the synth last selected: 1 NRPN, 0 RPN, -1 unknown
        std::array<std::array<std::int8_t, 2>, kKnownParameters> data;  // CC 6 and 38 per parameter
        int program = -1;
        int pitchBend = -1;
        bool bankChanged = false;  // a bank select since the last Program Change
    };
    static void forget(Channel& channel);
    static void dataEntry(Channel& channel, std::span<const std::uint8_t> message, Messages& out);

    std::array<Channel, 16> channels_;
};

}  // namespace padscope
