#pragma once

#include "core/midi/midi_input.h"

#include <utility>

namespace padscope {

// A MIDI input whose ports the caller lays out and whose messages the caller
// plays in, from any thread. Used by tests and benchmarks. `present` are the
// ports the system has now; like a real input it lists them at refresh().
class ScriptedInput final : public MidiInput {
public:
    std::vector<std::string> present;
    std::vector<std::string> listed;
    std::vector<int> opens;  // every index opened, in order
    int closes = 0;

    explicit ScriptedInput(std::vector<std::string> ports = {}) : present(ports), listed(std::move(ports)) {}

    std::vector<std::string> portNames() const override { return listed; }
    void refresh() override { listed = present; }
    bool open(int index, Receive receive) override
    {
        opens.push_back(index);
        receive_ = std::move(receive);
        return true;
    }
    void close() override
    {
        ++closes;
        receive_ = nullptr;
    }
    // As if the open port had received `message`.
    void play(std::span<const std::uint8_t> message) const
    {
        if (receive_)
            receive_(message, false);
    }

private:
    Receive receive_;
};

}  // namespace padscope
