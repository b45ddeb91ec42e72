#pragma once

#include "core/synth/preset_part.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The records of a preset part, for the code that reads or rewrites them
// (preset_part.cpp and the drum-only rewrite) and no one else.
namespace padscope {

inline constexpr unsigned kDrumBank = 128;
inline constexpr std::uint16_t kKeyRangeGenerator = 43, kVelocityRangeGenerator = 44, kInstrumentGenerator = 41,
                               kSampleGenerator = 53;
// Record sizes of the preset part's sub-chunks.
inline constexpr std::size_t kPresetSize = 38, kBagSize = 4, kModulatorSize = 10, kGeneratorSize = 4,
                             kInstrumentSize = 22, kSampleSize = 46;
// Where a preset header keeps its program and bank.
inline constexpr std::size_t kPresetProgramAt = 20, kPresetBankAt = 22;

inline unsigned read16(const std::uint8_t* p) { return p[0] | p[1] << 8; }
inline std::uint32_t read32(const std::uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

struct Records {
    std::span<const std::uint8_t> bytes;
    std::size_t size;
    std::size_t count() const { return bytes.size() / size; }
    const std::uint8_t* at(std::size_t i) const { return bytes.data() + i * size; }
};

// A list of presets or of instruments as the file holds it: the records,
// each with its zones (bags) and their generators and modulators. The last
// record of each is the terminal one.
struct RecordList {
    Records records;
    std::size_t bagIndexAt;  // where a record keeps the index of its first bag
    Records bags, generators, modulators;
};

struct PresetLists {
    RecordList presets, instruments;
    Records samples;
};

// The lists of a preset part; nothing when one of its nine sub-chunks is
// missing or overruns it, or a list lacks its terminal record.
std::optional<PresetLists> presetLists(std::span<const std::uint8_t> presetData);

// One zone of a preset or an instrument.
struct Zone {
    std::size_t firstGenerator = 0, endGenerator = 0, firstModulator = 0, endModulator = 0;
    unsigned lowKey = 0, highKey = 127;
    std::optional<unsigned> link;  // the instrument of a preset zone, the sample of an instrument zone
    bool global() const { return !link; }
};

// The zones of record `i` (not the terminal one) of a list, `linkGenerator`
// naming what a zone plays; nothing when they overrun the list.
std::optional<std::vector<Zone>> zonesOf(const RecordList& list, std::size_t i, std::uint16_t linkGenerator);

// The keys low to high.
KeySet keyRun(unsigned low, unsigned high);

// The keys that instrument `i` plays a sample on.
std::optional<KeySet> instrumentKeys(const PresetLists& lists, unsigned i);

}  // namespace padscope
