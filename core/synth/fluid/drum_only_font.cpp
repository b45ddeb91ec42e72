#include "core/synth/fluid/drum_only_font.h"

#include "core/platform/regular_file.h"
#include "core/synth/preset_part_cache.h"
#include "core/synth/preset_records.h"
#include "core/synth/fluid/font_name_number.h"

#include <fluidsynth.h>

#include <algorithm>
#include <charconv>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <istream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>

namespace padscope {

namespace {

constexpr std::string_view kPrefix = "padscope-drum-kits:";
// After the prefix, "#<synth>:" makes a name one synth's own.
constexpr char kSynthMark = '#';
// Where a sample header keeps its stereo partner and its type.
constexpr std::size_t kSampleLinkAt = 42, kSampleTypeAt = 44;
// Each list of a preset part is indexed by 16 bits.
constexpr std::size_t kMostRecords = 0xFFFF;

void put16(std::vector<std::uint8_t>& out, std::size_t at, unsigned value)
{
    out[at] = value & 0xFF;
    out[at + 1] = (value >> 8) & 0xFF;
}
void append32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back((value >> (8 * i)) & 0xFF);
}

// The same list rewritten to hold some of its records.
struct NewList {
    std::vector<std::uint8_t> records, bags, generators, modulators;
};

// Copies the zones [first, last) of a record onto the new list; `remap` may
// change a generator's amount.
template <typename Remap>
bool copyZones(const RecordList& from, std::size_t first, std::size_t last, NewList& to, Remap remap)
{
    if (first > last || last + 1 > from.bags.count())
        return false;
    for (std::size_t b = first; b < last; ++b) {
        const std::size_t g0 = read16(from.bags.at(b)), g1 = read16(from.bags.at(b + 1));
        const std::size_t m0 = read16(from.bags.at(b) + 2), m1 = read16(from.bags.at(b + 1) + 2);
        if (g0 > g1 || g1 > from.generators.count() || m0 > m1 || m1 > from.modulators.count())
            return false;
        const std::size_t bag = to.bags.size();
        to.bags.resize(bag + kBagSize);
        put16(to.bags, bag, to.generators.size() / kGeneratorSize);
        put16(to.bags, bag + 2, to.modulators.size() / kModulatorSize);
        for (std::size_t g = g0; g < g1; ++g) {
            const std::size_t at = to.generators.size();
            to.generators.insert(to.generators.end(), from.generators.at(g), from.generators.at(g) + kGeneratorSize);
            if (!remap(to.generators, at))
                return false;
        }
        to.modulators.insert(to.modulators.end(), from.modulators.at(m0), from.modulators.at(m1));
    }
    return true;
}

// Appends record `i` of the list, its bag index pointing at the new bags.
void appendRecord(const RecordList& from, std::size_t i, NewList& to)
{
    const std::size_t at = to.records.size();
    to.records.insert(to.records.end(), from.records.at(i), from.records.at(i) + from.records.size);
    put16(to.records, at + from.bagIndexAt, to.bags.size() / kBagSize);
}

// Copies record `i` (not the last, the terminal one) with its zones.
template <typename Remap>
bool copyRecord(const RecordList& from, std::size_t i, NewList& to, Remap remap)
{
    appendRecord(from, i, to);
    return copyZones(from, read16(from.records.at(i) + from.bagIndexAt),
                     read16(from.records.at(i + 1) + from.bagIndexAt), to, remap);
}

// Ends the new list with the terminal records of its four parts.
void terminate(const RecordList& from, NewList& to)
{
    appendRecord(from, from.records.count() - 1, to);
    const std::size_t bag = to.bags.size();
    to.bags.resize(bag + kBagSize);
    put16(to.bags, bag, to.generators.size() / kGeneratorSize);
    put16(to.bags, bag + 2, to.modulators.size() / kModulatorSize);
    to.generators.resize(to.generators.size() + kGeneratorSize, 0);
    to.modulators.resize(to.modulators.size() + kModulatorSize, 0);
}

// The records of a list that are kept, numbered anew in order of first use.
class Renumbering {
public:
    explicit Renumbering(std::size_t count) : count_(count) {}
    // The new index of record `old`; nothing when the list has no such record.
    std::optional<unsigned> use(unsigned old)
    {
        if (old >= count_)
            return std::nullopt;
        const auto [place, added] = renumbered_.emplace(old, static_cast<unsigned>(kept_.size()));
        if (added)
            kept_.push_back(old);
        return place->second;
    }
    // The old indices, in their new order.
    const std::vector<unsigned>& kept() const { return kept_; }

private:
    std::size_t count_;
    std::map<unsigned, unsigned> renumbered_;
    std::vector<unsigned> kept_;
};

// A generator remap for copyZones: the generator `kind` (an instrument or a
// sample) gets the new index of what it names.
auto renumbering(std::uint16_t kind, Renumbering& numbers)
{
    return [kind, &numbers](std::vector<std::uint8_t>& generators, std::size_t at) {
        if (read16(generators.data() + at) != kind)
            return true;
        const auto index = numbers.use(read16(generators.data() + at + 2));
        if (index)
            put16(generators, at + 2, *index);
        return index.has_value();
    };
}

bool fitsIndices(const NewList& list)
{
    return list.bags.size() / kBagSize <= kMostRecords && list.generators.size() / kGeneratorSize <= kMostRecords
           && list.modulators.size() / kModulatorSize <= kMostRecords;
}

bool asItIs(const KitLayers& layers, std::size_t program)
{
    return layers[program].size() == 1 && layers[program].front() == static_cast<int>(program);
}

// Builds a kit from others of the same file: the first one whole, each next
// one on the keys those before it leave without a sound. A composed kit has
// no global zone: each zone takes in its own kit's global one.
struct KitComposer {
    const PresetLists& lists;
    const std::array<int, 128>& firstPreset;  // the preset of each program; -1: none
    NewList& to;
    Renumbering& instrumentNumbers;
    std::map<unsigned, KeySet> instrumentKeys_;

    std::optional<KeySet> keysOf(unsigned instrument)
    {
        auto known = instrumentKeys_.find(instrument);
        if (known == instrumentKeys_.end()) {
            const auto keys = instrumentKeys(lists, instrument);
            if (!keys)
                return std::nullopt;
            known = instrumentKeys_.emplace(instrument, *keys).first;
        }
        return known->second;
    }

    bool compose(std::size_t program, const std::vector<int>& sources)
    {
        const auto presetOf = [&](int source) {
            return source >= 0 && source < 128 ? firstPreset[static_cast<std::size_t>(source)] : -1;
        };
        if (presetOf(sources.front()) < 0)
            return true;  // nothing to play: the kit is left out
        const std::size_t at = to.records.size();
        appendRecord(lists.presets, static_cast<std::size_t>(presetOf(sources.front())), to);
        put16(to.records, at + kPresetProgramAt, static_cast<unsigned>(program));
        KeySet silent = KeySet().set();
        for (std::size_t layer = 0; layer < sources.size(); ++layer) {
            const int preset = presetOf(sources[layer]);
            if (preset < 0)
                continue;
            const auto zones = zonesOf(lists.presets, static_cast<std::size_t>(preset), kInstrumentGenerator);
            if (!zones)
                return false;
            const Zone* global = !zones->empty() && zones->front().global() ? &zones->front() : nullptr;
            KeySet sounding;
            for (const Zone& zone : *zones) {
                if (zone.global())
                    continue;
                const auto instrument = keysOf(*zone.link);
                if (!instrument)
                    return false;
                KeySet keys = *instrument & keyRun(zone.lowKey, zone.highKey);
                if (layer == 0) {
                    if (!copyFlat(zone, global, zone.lowKey, zone.highKey))
                        return false;
                } else {
                    keys &= silent;
                    for (unsigned low = 0; low < 128; ++low) {
                        if (!keys.test(low))
                            continue;
                        unsigned high = low;
                        while (high + 1 < 128 && keys.test(high + 1))
                            ++high;
                        if (!copyFlat(zone, global, low, high))
                            return false;
                        low = high;
                    }
                }
                sounding |= keys;
            }
            silent &= ~sounding;
        }
        return true;
    }

    // Copies a preset zone on the keys [low, high], with what its global
    // zone holds and the zone does not; its instrument last, renumbered.
    bool copyFlat(const Zone& zone, const Zone* global, unsigned low, unsigned high)
    {
        const Records& generators = lists.presets.generators;
        const Records& modulators = lists.presets.modulators;
        const std::size_t bag = to.bags.size();
        to.bags.resize(bag + kBagSize);
        put16(to.bags, bag, static_cast<unsigned>(to.generators.size() / kGeneratorSize));
        put16(to.bags, bag + 2, static_cast<unsigned>(to.modulators.size() / kModulatorSize));
        const auto appendGenerator = [&](unsigned kind, unsigned amount) {
            const std::size_t at = to.generators.size();
            to.generators.resize(at + kGeneratorSize);
            put16(to.generators, at, kind);
            put16(to.generators, at + 2, amount);
        };
        // The key range comes first, the velocity range next.
        appendGenerator(kKeyRangeGenerator, low | high << 8);
        std::set<unsigned> own;
        for (std::size_t g = zone.firstGenerator; g < zone.endGenerator; ++g)
            own.insert(read16(generators.at(g)));
        const auto copyGenerators = [&](const Zone& from, bool skipOwn, bool velocity) {
            for (std::size_t g = from.firstGenerator; g < from.endGenerator; ++g) {
                const unsigned kind = read16(generators.at(g));
                if (kind != kKeyRangeGenerator && kind != kInstrumentGenerator
                    && (kind == kVelocityRangeGenerator) == velocity && !(skipOwn && own.contains(kind)))
                    appendGenerator(kind, read16(generators.at(g) + 2));
            }
        };
        for (const bool velocity : {true, false}) {
            if (global)
                copyGenerators(*global, true, velocity);
            copyGenerators(zone, false, velocity);
        }
        const auto instrument = instrumentNumbers.use(*zone.link);
        if (!instrument)
            return false;
        appendGenerator(kInstrumentGenerator, *instrument);
        // A modulator of the zone replaces the global one of the same kind.
        using Kind = std::array<unsigned, 4>;
        const auto kindOf = [&](std::size_t m) {
            const std::uint8_t* at = modulators.at(m);
            return Kind{read16(at), read16(at + 2), read16(at + 6), read16(at + 8)};
        };
        std::set<Kind> ownModulators;
        for (std::size_t m = zone.firstModulator; m < zone.endModulator; ++m)
            ownModulators.insert(kindOf(m));
        to.modulators.insert(to.modulators.end(), modulators.at(zone.firstModulator),
                             modulators.at(zone.endModulator));
        if (global)
            for (std::size_t m = global->firstModulator; m < global->endModulator; ++m)
                if (!ownModulators.contains(kindOf(m)))
                    to.modulators.insert(to.modulators.end(), modulators.at(m), modulators.at(m) + kModulatorSize);
        return fitsIndices(to);
    }
};

// A file's preset part, and where it starts: what the loader serves.
struct DrumOnlyFile {
    std::string path;
    std::uint64_t presetPartOffset = 0;
    std::vector<std::uint8_t> presetPart;  // the whole LIST chunk
    std::uint64_t size() const { return presetPartOffset + presetPart.size(); }
};

std::shared_ptr<const DrumOnlyFile> withPresetData(const std::string& path, std::uint64_t offset,
                                                   const std::optional<std::vector<std::uint8_t>>& presetData)
{
    if (!presetData)
        return nullptr;
    auto file = std::make_shared<DrumOnlyFile>();
    file->path = path;
    file->presetPartOffset = offset;
    file->presetPart = {'L', 'I', 'S', 'T'};
    append32(file->presetPart, static_cast<std::uint32_t>(4 + presetData->size()));
    file->presetPart.insert(file->presetPart.end(), {'p', 'd', 't', 'a'});
    file->presetPart.insert(file->presetPart.end(), presetData->begin(), presetData->end());
    return file;
}

// All of a file's kits, made once per version of the file: FluidSynth opens
// the file again whenever it loads a kit's samples. Never destroyed: a port's
// worker may still be loading while the process exits.
std::shared_ptr<const DrumOnlyFile> drumOnlyFile(const std::string& path)
{
    struct Cached {
        std::shared_ptr<const PresetPart> source;
        std::shared_ptr<const DrumOnlyFile> file;
    };
    static std::mutex mutex;
    static auto& files = *new std::map<std::string, Cached>;
    // A new version of the file is a new part.
    auto part = presetParts().get(path);
    const std::lock_guard lock(mutex);
    auto& cached = files[path];
    if (!part)
        cached = {};
    else if (cached.source != part)
        cached = {part, withPresetData(path, part->offset, drumOnlyPresetData(part->data))};
    return cached.file;
}

// The preset data of such a file, without its LIST header.
std::span<const std::uint8_t> presetDataOf(const DrumOnlyFile& file)
{
    return std::span(file.presetPart).subspan(12);
}

// Some of a file's kits, or its drum sounds shaped: small, and made from
// all its kits at each opening.
std::shared_ptr<const DrumOnlyFile> drumOnlyFile(const std::string& path, const std::optional<KitLayers>& layers,
                                                 const DrumSounds& sounds)
{
    auto all = drumOnlyFile(path);
    const bool shaped = anyShaped(sounds);
    if (!all || (!layers && !shaped))
        return all;
    const std::span<const std::uint8_t> allKits = presetDataOf(*all);
    std::optional<std::vector<std::uint8_t>> data =
        layers ? drumOnlyPresetData(allKits, *layers) : std::vector<std::uint8_t>(allKits.begin(), allKits.end());
    if (data && shaped)
        data = withDrumSounds(*data, sounds);
    return withPresetData(path, all->presetPartOffset, data);
}

// A name for the loader: "<prefix>all:<path>" for all kits as they are,
// else "<prefix><program>=<kit>.<kit>,<program>=<kit>:<path>"; with drum
// sounds shaped, "/<sounds>" after the kits.
constexpr std::string_view kAllKits = "all";
constexpr char kSoundsAfter = '/';
constexpr std::size_t kMostLayers = 16;

std::string layersText(const KitLayers& layers)
{
    std::string text;
    for (std::size_t program = 0; program < layers.size(); ++program) {
        if (layers[program].empty())
            continue;
        text += (text.empty() ? "" : ",") + std::to_string(program) + "=";
        for (std::size_t i = 0; i < layers[program].size(); ++i)
            text += (i ? "." : "") + std::to_string(layers[program][i]);
    }
    return text;
}

// The layers such a name gives; nothing for all kits as they are, or for
// text that is not such a list (then it loads nothing).
std::optional<std::optional<KitLayers>> parseLayers(std::string_view text)
{
    if (text == kAllKits)
        return std::optional<KitLayers>();
    KitLayers layers;
    const auto number = [&text] { return takeFontNameNumber(text); };
    while (!text.empty()) {
        const auto program = number();
        if (!program || !text.starts_with('='))
            return std::nullopt;
        auto& kits = layers[static_cast<std::size_t>(*program)];
        do {
            text.remove_prefix(1);
            const auto kit = number();
            if (!kit || kits.size() == kMostLayers)
                return std::nullopt;
            kits.push_back(*kit);
        } while (text.starts_with('.'));
        if (!text.empty() && !text.starts_with(','))
            return std::nullopt;
        if (!text.empty())
            text.remove_prefix(1);
    }
    return std::optional(layers);
}

struct OpenFile {
    explicit OpenFile(std::shared_ptr<const DrumOnlyFile> from) : file(std::move(from)), original(file->path) {}
    std::shared_ptr<const DrumOnlyFile> file;
    RegularFile original;
    std::uint64_t position = 0;
};

void* openFile(const char* name)
{
    std::string_view text(name);
    if (!text.starts_with(kPrefix))
        return nullptr;
    text.remove_prefix(kPrefix.size());
    std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return nullptr;
    if (text.starts_with(kSynthMark)) {
        text.remove_prefix(colon + 1);
        colon = text.find(':');
        if (colon == std::string_view::npos)
            return nullptr;
    }
    const std::string_view kits = text.substr(0, colon);
    const std::size_t slash = kits.find(kSoundsAfter);
    const auto layers = parseLayers(kits.substr(0, slash));
    const auto sounds = slash == std::string_view::npos ? DrumSounds{} : parseDrumSounds(kits.substr(slash + 1));
    if (!layers || !sounds)
        return nullptr;
    auto file = drumOnlyFile(std::string(text.substr(colon + 1)), *layers, *sounds);
    if (!file)
        return nullptr;
    auto open = std::make_unique<OpenFile>(std::move(file));
    if (!open->original)
        return nullptr;
    return open.release();
}

int readFile(void* buffer, fluid_long_long_t count, void* handle)
{
    auto* open = static_cast<OpenFile*>(handle);
    const DrumOnlyFile& file = *open->file;
    if (count < 0 || open->position + static_cast<std::uint64_t>(count) > file.size())
        return FLUID_FAILED;
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::uint64_t left = static_cast<std::uint64_t>(count);
    // Up to the preset part the original file, but for the RIFF size.
    if (open->position < file.presetPartOffset) {
        const std::uint64_t n = std::min(left, file.presetPartOffset - open->position);
        std::istream& original = open->original.stream();
        original.seekg(static_cast<std::streamoff>(open->position));
        if (!original.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(n)))
            return FLUID_FAILED;
        // Bytes 4 to 7 hold the RIFF size, which is the new file's.
        const std::uint64_t riffSize = file.size() - 8;
        const std::uint64_t sizeEnd = std::min<std::uint64_t>(open->position + n, 8);
        for (std::uint64_t at = std::max<std::uint64_t>(open->position, 4); at < sizeEnd; ++at)
            out[at - open->position] = (riffSize >> (8 * (at - 4))) & 0xFF;
        open->position += n;
        out += n;
        left -= n;
    }
    if (left > 0) {
        const std::uint64_t from = open->position - file.presetPartOffset;
        std::copy_n(file.presetPart.begin() + static_cast<std::ptrdiff_t>(from), left, out);
        open->position += left;
    }
    return FLUID_OK;
}

int seekFile(void* handle, fluid_long_long_t offset, int origin)
{
    auto* open = static_cast<OpenFile*>(handle);
    const auto size = static_cast<fluid_long_long_t>(open->file->size());
    const auto base = origin == SEEK_SET   ? 0
                      : origin == SEEK_CUR ? static_cast<fluid_long_long_t>(open->position)
                                           : size;
    if (base + offset < 0 || base + offset > size)
        return FLUID_FAILED;
    open->position = static_cast<std::uint64_t>(base + offset);
    return FLUID_OK;
}

fluid_long_long_t tellFile(void* handle)
{
    return static_cast<fluid_long_long_t>(static_cast<OpenFile*>(handle)->position);
}

int closeFile(void* handle)
{
    delete static_cast<OpenFile*>(handle);
    return FLUID_OK;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> drumOnlyPresetData(std::span<const std::uint8_t> presetData,
                                                            const KitSet& kits)
{
    return drumOnlyPresetData(presetData, eachAsItIs(kits));
}

std::optional<std::vector<std::uint8_t>> drumOnlyPresetData(std::span<const std::uint8_t> presetData,
                                                            const KitLayers& layers)
{
    const auto lists = presetLists(presetData);
    if (!lists)
        return std::nullopt;
    const RecordList& presets = lists->presets;
    const RecordList& instruments = lists->instruments;
    const Records& samples = lists->samples;

    NewList newPresets, newInstruments;
    // Neither counts its terminal record.
    Renumbering instrumentNumbers(instruments.records.count() - 1), sampleNumbers(samples.count() - 1);
    const auto useInstrument = renumbering(kInstrumentGenerator, instrumentNumbers);
    const auto useSample = renumbering(kSampleGenerator, sampleNumbers);
    // Kits kept as they are, in the file's order; then those composed.
    std::array<int, 128> firstPreset{};
    firstPreset.fill(-1);
    for (std::size_t p = 0; p + 1 < presets.records.count(); ++p) {
        const std::uint8_t* preset = presets.records.at(p);
        const unsigned program = read16(preset + kPresetProgramAt);
        if (read16(preset + kPresetBankAt) != kDrumBank || program >= layers.size())
            continue;
        if (firstPreset[program] < 0)
            firstPreset[program] = static_cast<int>(p);
        if (asItIs(layers, program) && !copyRecord(presets, p, newPresets, useInstrument))
            return std::nullopt;
    }
    KitComposer composer{*lists, firstPreset, newPresets, instrumentNumbers, {}};
    for (std::size_t program = 0; program < layers.size(); ++program)
        if (!layers[program].empty() && !asItIs(layers, program) && !composer.compose(program, layers[program]))
            return std::nullopt;
    if (!fitsIndices(newPresets))
        return std::nullopt;
    terminate(presets, newPresets);

    for (unsigned old : instrumentNumbers.kept())
        if (!copyRecord(instruments, old, newInstruments, useSample))
            return std::nullopt;
    terminate(instruments, newInstruments);

    // The sample headers in use, with their stereo partners, which may join
    // the list as they are met.
    std::vector<std::uint8_t> newSamples;
    for (std::size_t i = 0; i < sampleNumbers.kept().size(); ++i) {
        const std::uint8_t* sample = samples.at(sampleNumbers.kept()[i]);
        const std::size_t at = newSamples.size();
        newSamples.insert(newSamples.end(), sample, sample + kSampleSize);
        const unsigned type = read16(sample + kSampleTypeAt) & 0x7FFF;
        std::optional<unsigned> partner = 0;
        if (type == 2 || type == 4 || type == 8)  // right, left, linked
            partner = sampleNumbers.use(read16(sample + kSampleLinkAt));
        if (!partner)
            return std::nullopt;
        put16(newSamples, at + kSampleLinkAt, *partner);
    }
    newSamples.insert(newSamples.end(), samples.at(samples.count() - 1), samples.at(samples.count() - 1) + kSampleSize);

    std::vector<std::uint8_t> out;
    const auto appendChunk = [&out](const char* id, std::span<const std::uint8_t> data) {
        out.insert(out.end(), id, id + 4);
        append32(out, static_cast<std::uint32_t>(data.size()));
        out.insert(out.end(), data.begin(), data.end());
    };
    appendChunk("phdr", newPresets.records);
    appendChunk("pbag", newPresets.bags);
    appendChunk("pmod", newPresets.modulators);
    appendChunk("pgen", newPresets.generators);
    appendChunk("inst", newInstruments.records);
    appendChunk("ibag", newInstruments.bags);
    appendChunk("imod", newInstruments.modulators);
    appendChunk("igen", newInstruments.generators);
    appendChunk("shdr", newSamples);
    return out;
}

void addDrumOnlyLoader(fluid_synth_t* synth, fluid_settings_t* settings)
{
    fluid_sfloader_t* loader = new_fluid_defsfloader(settings);
    if (!loader)
        return;
    if (fluid_sfloader_set_callbacks(loader, openFile, readFile, seekFile, tellFile, closeFile) != FLUID_OK) {
        delete_fluid_sfloader(loader);
        return;
    }
    fluid_synth_add_sfloader(synth, loader);
}

std::string drumKitsOf(const std::string& path, const KitSet& kits)
{
    if (kits.all())
        return std::string(kPrefix) + std::string(kAllKits) + ":" + path;
    return drumKitsOf(path, eachAsItIs(kits));
}

std::string drumKitsOf(const std::string& path, const KitLayers& layers)
{
    return std::string(kPrefix) + layersText(layers) + ":" + path;
}

std::string drumKitsOf(const std::string& path, const KitLayers& layers, const KitSet& wanted,
                       const DrumSounds& sounds)
{
    KitLayers some;
    for (std::size_t kit = 0; kit < some.size(); ++kit)
        if (wanted.test(kit))
            some[kit] = layers[kit];
    if (!anyShaped(sounds))
        return drumKitsOf(path, some);
    return std::string(kPrefix) + layersText(some) + kSoundsAfter + drumSoundsText(sounds) + ":" + path;
}

std::string synthsOwn(const std::string& name, unsigned synth)
{
    if (!name.starts_with(kPrefix))
        return name;
    return std::string(kPrefix) + kSynthMark + std::to_string(synth) + ":" + name.substr(kPrefix.size());
}

std::optional<KitSet> drumKitsIn(const std::string& path)
{
    const auto file = drumOnlyFile(path);
    if (!file)
        return std::nullopt;
    return presetPrograms(presetDataOf(*file));
}


}  // namespace padscope
