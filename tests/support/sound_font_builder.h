#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace padscope::test {

// A small SoundFont 2 file made in memory: drum kits (bank 128) of short
// mono samples, each sample a square wave of its own period.
struct BuiltZone {
    int lowKey, highKey;
    int sample;
};

struct BuiltKit {
    int program;
    std::string name;
    std::vector<BuiltZone> zones;  // of the kit's one instrument
    // Generators (kind, amount) of the preset's global zone; none without one.
    std::vector<std::pair<std::uint16_t, std::uint16_t>> global = {};
};

std::string soundFontWith(const std::vector<BuiltKit>& kits, int sampleCount);

}  // namespace padscope::test
