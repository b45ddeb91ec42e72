#include "core/synth/preset_part.h"

#include "core/synth/preset_records.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <map>

namespace padscope {

// Every index in a preset part is 16 bits wide, so none of its nine lists
// holds more than 65,536 records and their terminal one.
const std::uint64_t kLargestPresetData =
    (0x10000 + 1) * (kPresetSize + 2 * (kBagSize + kModulatorSize + kGeneratorSize) + kInstrumentSize + kSampleSize)
    + 9 * 8;

namespace {

// The sub-chunks of a preset part by their ids; nothing when one overruns it.
std::optional<std::map<std::string, std::span<const std::uint8_t>>> subChunks(std::span<const std::uint8_t> presetData)
{
    std::map<std::string, std::span<const std::uint8_t>> chunks;
    for (std::size_t at = 0; at + 8 <= presetData.size();) {
        const std::size_t size = read32(presetData.data() + at + 4);
        if (size > presetData.size() - at - 8)
            return std::nullopt;
        chunks[std::string(reinterpret_cast<const char*>(presetData.data() + at), 4)] =
            presetData.subspan(at + 8, size);
        at += 8 + size + (size & 1);
    }
    return chunks;
}

// Whether one list is as FluidSynth reads it: records whose bag indices
// rise from 0, exactly as many bags as they index and the terminal one,
// bags whose generator and modulator indices rise, as many generators and
// modulators as those index (their terminal records may be missing), and
// every zone's link within `linkCount`.
bool wellFormed(const RecordList& list, std::size_t linkCount, std::uint16_t linkGenerator)
{
    for (const Records* records : {&list.records, &list.bags, &list.generators, &list.modulators})
        if (records->bytes.size() % records->size != 0)
            return false;
    const auto rising = [](const Records& records, std::size_t at, std::size_t& last) {
        last = 0;
        for (std::size_t i = 0; i < records.count(); ++i) {
            const std::size_t index = read16(records.at(i) + at);
            if (index < last || (i == 0 && index != 0))
                return false;
            last = index;
        }
        return true;
    };
    std::size_t bags = 0, generators = 0, modulators = 0;
    if (!rising(list.records, list.bagIndexAt, bags) || list.bags.count() != bags + 1
        || !rising(list.bags, 0, generators) || !rising(list.bags, 2, modulators))
        return false;
    const auto counted = [](const Records& records, std::size_t last) {
        return records.count() == last || records.count() == last + 1;
    };
    if (!counted(list.generators, generators) || !counted(list.modulators, modulators))
        return false;
    for (std::size_t g = 0; g < generators; ++g)
        if (read16(list.generators.at(g)) == linkGenerator && read16(list.generators.at(g) + 2) >= linkCount)
            return false;
    return true;
}

// A zone's key range, its first generator; the whole keyboard without one.
void readKeyRange(const Records& generators, Zone& zone)
{
    if (zone.firstGenerator < zone.endGenerator) {
        const std::uint8_t* g = generators.at(zone.firstGenerator);
        if (read16(g) == kKeyRangeGenerator) {
            zone.lowKey = std::min(g[2], std::uint8_t{127});
            zone.highKey = std::min(g[3], std::uint8_t{127});
        }
    }
}

}  // namespace

KeySet keyRun(unsigned low, unsigned high)
{
    KeySet keys;
    for (unsigned key = low; key <= high && key < keys.size(); ++key)
        keys.set(key);
    return keys;
}

KitLayers eachAsItIs(const KitSet& kits)
{
    KitLayers layers;
    for (std::size_t program = 0; program < kits.size(); ++program)
        if (kits.test(program))
            layers[program] = {static_cast<int>(program)};
    return layers;
}

KitSet kitsIn(const KitLayers& layers)
{
    KitSet kits;
    for (std::size_t program = 0; program < layers.size(); ++program)
        kits.set(program, !layers[program].empty());
    return kits;
}

std::optional<PresetLists> presetLists(std::span<const std::uint8_t> presetData)
{
    auto found = subChunks(presetData);
    if (!found)
        return std::nullopt;
    auto& chunks = *found;
    for (const char* id : {"phdr", "pbag", "pmod", "pgen", "inst", "ibag", "imod", "igen", "shdr"})
        if (!chunks.contains(id))
            return std::nullopt;
    PresetLists lists{{{chunks["phdr"], kPresetSize},
                       24,
                       {chunks["pbag"], kBagSize},
                       {chunks["pgen"], kGeneratorSize},
                       {chunks["pmod"], kModulatorSize}},
                      {{chunks["inst"], kInstrumentSize},
                       20,
                       {chunks["ibag"], kBagSize},
                       {chunks["igen"], kGeneratorSize},
                       {chunks["imod"], kModulatorSize}},
                      {chunks["shdr"], kSampleSize}};
    if (lists.presets.records.count() < 1 || lists.instruments.records.count() < 1 || lists.samples.count() < 1)
        return std::nullopt;
    return lists;
}

bool wellFormedPresetData(std::span<const std::uint8_t> presetData)
{
    // The sub-chunks come in the order FluidSynth reads them.
    std::size_t at = 0;
    for (const char* id : {"phdr", "pbag", "pmod", "pgen", "inst", "ibag", "imod", "igen", "shdr"}) {
        if (at + 8 > presetData.size() || std::memcmp(presetData.data() + at, id, 4) != 0)
            return false;
        at += 8 + read32(presetData.data() + at + 4);
    }
    const auto lists = presetLists(presetData);
    if (!lists || lists->samples.bytes.size() % kSampleSize != 0)
        return false;
    return wellFormed(lists->presets, lists->instruments.records.count() - 1, kInstrumentGenerator)
           && wellFormed(lists->instruments, lists->samples.count() - 1, kSampleGenerator);
}

std::optional<std::vector<Zone>> zonesOf(const RecordList& list, std::size_t i, std::uint16_t linkGenerator)
{
    if (i + 1 >= list.records.count())
        return std::nullopt;
    const std::size_t first = read16(list.records.at(i) + list.bagIndexAt);
    const std::size_t last = read16(list.records.at(i + 1) + list.bagIndexAt);
    if (first > last || last + 1 > list.bags.count())
        return std::nullopt;
    std::vector<Zone> zones;
    for (std::size_t b = first; b < last; ++b) {
        Zone zone;
        zone.firstGenerator = read16(list.bags.at(b));
        zone.endGenerator = read16(list.bags.at(b + 1));
        zone.firstModulator = read16(list.bags.at(b) + 2);
        zone.endModulator = read16(list.bags.at(b + 1) + 2);
        if (zone.firstGenerator > zone.endGenerator || zone.endGenerator > list.generators.count()
            || zone.firstModulator > zone.endModulator || zone.endModulator > list.modulators.count())
            return std::nullopt;
        readKeyRange(list.generators, zone);
        for (std::size_t g = zone.firstGenerator; g < zone.endGenerator; ++g)
            if (read16(list.generators.at(g)) == linkGenerator)
                zone.link = read16(list.generators.at(g) + 2);
        zones.push_back(zone);
    }
    return zones;
}

std::optional<KeySet> instrumentKeys(const PresetLists& lists, unsigned i)
{
    const auto zones = zonesOf(lists.instruments, i, kSampleGenerator);
    if (!zones)
        return std::nullopt;
    KeySet keys;
    for (const Zone& zone : *zones)
        if (!zone.global() && *zone.link + 1 < lists.samples.count())
            keys |= keyRun(zone.lowKey, zone.highKey);
    return keys;
}

std::optional<std::vector<DrumPreset>> drumPresets(std::span<const std::uint8_t> presetData)
{
    const auto lists = presetLists(presetData);
    if (!lists)
        return std::nullopt;
    std::vector<DrumPreset> kits;
    std::map<unsigned, KeySet> instruments;
    const Records& presets = lists->presets.records;
    for (std::size_t p = 0; p + 1 < presets.count(); ++p) {
        const std::uint8_t* preset = presets.at(p);
        if (read16(preset + kPresetBankAt) != kDrumBank || read16(preset + kPresetProgramAt) > 127)
            continue;
        const auto zones = zonesOf(lists->presets, p, kInstrumentGenerator);
        if (!zones)
            return std::nullopt;
        DrumPreset kit{static_cast<int>(read16(preset + kPresetProgramAt)),
                       std::string(reinterpret_cast<const char*>(preset),
                                   strnlen(reinterpret_cast<const char*>(preset), 20)),
                       {}};
        for (const Zone& zone : *zones) {
            if (zone.global())
                continue;
            auto known = instruments.find(*zone.link);
            if (known == instruments.end()) {
                const auto keys = instrumentKeys(*lists, *zone.link);
                if (!keys)
                    return std::nullopt;
                known = instruments.emplace(*zone.link, *keys).first;
            }
            kit.keys |= known->second & keyRun(zone.lowKey, zone.highKey);
        }
        kits.push_back(std::move(kit));
    }
    return kits;
}

std::optional<KitSet> presetPrograms(std::span<const std::uint8_t> presetData)
{
    const auto chunks = subChunks(presetData);
    if (!chunks || !chunks->contains("phdr"))
        return std::nullopt;
    const Records presets{chunks->at("phdr"), kPresetSize};
    KitSet kits;
    for (std::size_t p = 0; p + 1 < presets.count(); ++p)
        if (const unsigned program = read16(presets.at(p) + kPresetProgramAt); program < kits.size())
            kits.set(program);
    return kits;
}

std::optional<PresetPart> lastPresetPart(std::istream& file)
{
    std::array<std::uint8_t, 12> header{};
    if (!file.read(reinterpret_cast<char*>(header.data()), header.size()) || std::memcmp(header.data(), "RIFF", 4) != 0
        || std::memcmp(header.data() + 8, "sfbk", 4) != 0)
        return std::nullopt;
    file.seekg(0, std::ios::end);
    const std::uint64_t fileSize = static_cast<std::uint64_t>(file.tellg());
    // The top-level chunks: the preset part must come last.
    std::uint64_t offset = 12;
    while (offset + 12 <= fileSize) {
        std::array<std::uint8_t, 12> chunk{};
        file.seekg(static_cast<std::streamoff>(offset));
        if (!file.read(reinterpret_cast<char*>(chunk.data()), chunk.size()))
            return std::nullopt;
        const std::uint64_t size = read32(chunk.data() + 4);
        const std::uint64_t end = offset + 8 + size + (size & 1);
        if (std::memcmp(chunk.data(), "LIST", 4) == 0 && std::memcmp(chunk.data() + 8, "pdta", 4) == 0) {
            if (end < fileSize || size < 4 || offset + 8 + size > fileSize || size - 4 > kLargestPresetData)
                return std::nullopt;
            PresetPart part{offset, std::vector<std::uint8_t>(size - 4)};
            if (!file.read(reinterpret_cast<char*>(part.data.data()), static_cast<std::streamsize>(part.data.size())))
                return std::nullopt;
            return part;
        }
        offset = end;
    }
    return std::nullopt;
}

}  // namespace padscope
