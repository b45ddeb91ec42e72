#include "drum_only_font.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>

namespace padscope {

namespace {

constexpr std::string_view kPrefix = "padscope-drum-kits:";
constexpr unsigned kDrumBank = 128;
constexpr std::uint16_t kInstrumentGenerator = 41;
constexpr std::uint16_t kSampleGenerator = 53;

// Record sizes of the preset part's sub-chunks.
constexpr std::size_t kPresetSize = 38, kBagSize = 4, kModulatorSize = 10, kGeneratorSize = 4, kInstrumentSize = 22,
                      kSampleSize = 46;
// Where a preset header keeps its program and bank, and a sample header its
// stereo partner and its type.
constexpr std::size_t kPresetProgramAt = 20, kPresetBankAt = 22;
constexpr std::size_t kSampleLinkAt = 42, kSampleTypeAt = 44;
// Every index in a preset part is 16 bits wide, so none of its nine lists
// holds more than 65,536 records and their terminal one; a larger part (some
// 9 MB) is damaged, whatever its header claims.
constexpr std::uint64_t kLargestPresetData =
    (0x10000 + 1) * (kPresetSize + 2 * (kBagSize + kModulatorSize + kGeneratorSize) + kInstrumentSize + kSampleSize)
    + 9 * 8;

unsigned read16(const std::uint8_t* p) { return p[0] | p[1] << 8; }
std::uint32_t read32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
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

struct Records {
    std::span<const std::uint8_t> bytes;
    std::size_t size;
    std::size_t count() const { return bytes.size() / size; }
    const std::uint8_t* at(std::size_t i) const { return bytes.data() + i * size; }
};

// A list of presets or of instruments as the file holds it: the records,
// each with its zones (bags) and their generators and modulators.
struct SourceList {
    Records records;
    std::size_t bagIndexAt;  // where a record keeps the index of its first bag
    Records bags, generators, modulators;
};

// The same list rewritten to hold some of its records.
struct NewList {
    std::vector<std::uint8_t> records, bags, generators, modulators;
};

// Copies the zones [first, last) of a record onto the new list; `remap` may
// change a generator's amount.
template <typename Remap>
bool copyZones(const SourceList& from, std::size_t first, std::size_t last, NewList& to, Remap remap)
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
void appendRecord(const SourceList& from, std::size_t i, NewList& to)
{
    const std::size_t at = to.records.size();
    to.records.insert(to.records.end(), from.records.at(i), from.records.at(i) + from.records.size);
    put16(to.records, at + from.bagIndexAt, to.bags.size() / kBagSize);
}

// Copies record `i` (not the last, the terminal one) with its zones.
template <typename Remap>
bool copyRecord(const SourceList& from, std::size_t i, NewList& to, Remap remap)
{
    appendRecord(from, i, to);
    return copyZones(from, read16(from.records.at(i) + from.bagIndexAt),
                     read16(from.records.at(i + 1) + from.bagIndexAt), to, remap);
}

// Ends the new list with the terminal records of its four parts.
void terminate(const SourceList& from, NewList& to)
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

std::shared_ptr<const DrumOnlyFile> makeDrumOnlyFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const auto part = lastPresetPart(in);
    return part ? withPresetData(path, part->offset, drumOnlyPresetData(part->data)) : nullptr;
}

// What tells one version of a file from the next: a font replaced while the
// program runs (an upgrade) has other sample offsets.
struct FileVersion {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified;
    bool operator==(const FileVersion&) const = default;
};

std::optional<FileVersion> versionOf(const std::string& path)
{
    std::error_code error;
    FileVersion version{std::filesystem::file_size(path, error), {}};
    if (!error)
        version.modified = std::filesystem::last_write_time(path, error);
    return error ? std::nullopt : std::optional(version);
}

// All of a file's kits, made once per version of the file: FluidSynth opens
// the file again whenever it loads a kit's samples. Never destroyed: a port's
// worker may still be loading while the process exits.
std::shared_ptr<const DrumOnlyFile> drumOnlyFile(const std::string& path)
{
    struct Cached {
        std::optional<FileVersion> version;
        std::shared_ptr<const DrumOnlyFile> file;
    };
    static std::mutex mutex;
    static auto& files = *new std::map<std::string, Cached>;
    const std::lock_guard lock(mutex);
    auto& cached = files[path];
    const std::optional<FileVersion> version = versionOf(path);
    if (!cached.file || !version || cached.version != version)
        cached = {version, makeDrumOnlyFile(path)};
    return cached.file;
}

// The preset data of such a file, without its LIST header.
std::span<const std::uint8_t> presetDataOf(const DrumOnlyFile& file)
{
    return std::span(file.presetPart).subspan(12);
}

// Some of a file's kits: small, and made from all of them at each opening.
std::shared_ptr<const DrumOnlyFile> drumOnlyFile(const std::string& path, const KitSet& kits)
{
    auto all = drumOnlyFile(path);
    if (!all || kits.all())
        return all;
    return withPresetData(path, all->presetPartOffset, drumOnlyPresetData(presetDataOf(*all), kits));
}

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

// "<prefix><128 digits, program 127 first>:<path>"
constexpr std::size_t kKitDigits = 128;

struct OpenFile {
    std::shared_ptr<const DrumOnlyFile> file;
    std::ifstream original;
    std::uint64_t position = 0;
};

void* openFile(const char* name)
{
    const std::string_view text(name);
    if (!text.starts_with(kPrefix) || text.size() < kPrefix.size() + kKitDigits + 1 ||
        text[kPrefix.size() + kKitDigits] != ':')
        return nullptr;
    const std::string_view digits = text.substr(kPrefix.size(), kKitDigits);
    if (digits.find_first_not_of("01") != std::string_view::npos)
        return nullptr;
    auto file = drumOnlyFile(std::string(text.substr(kPrefix.size() + kKitDigits + 1)), KitSet(std::string(digits)));
    if (!file)
        return nullptr;
    auto open = std::make_unique<OpenFile>();
    open->original.open(file->path, std::ios::binary);
    if (!open->original)
        return nullptr;
    open->file = std::move(file);
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
        open->original.seekg(static_cast<std::streamoff>(open->position));
        if (!open->original.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(n)))
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

std::optional<std::vector<std::uint8_t>> drumOnlyPresetData(std::span<const std::uint8_t> presetData,
                                                            const KitSet& kits)
{
    auto found = subChunks(presetData);
    if (!found)
        return std::nullopt;
    auto& chunks = *found;
    for (const char* id : {"phdr", "pbag", "pmod", "pgen", "inst", "ibag", "imod", "igen", "shdr"})
        if (!chunks.contains(id))
            return std::nullopt;
    const SourceList presets{{chunks["phdr"], kPresetSize},
                             24,
                             {chunks["pbag"], kBagSize},
                             {chunks["pgen"], kGeneratorSize},
                             {chunks["pmod"], kModulatorSize}};
    const SourceList instruments{{chunks["inst"], kInstrumentSize},
                                 20,
                                 {chunks["ibag"], kBagSize},
                                 {chunks["igen"], kGeneratorSize},
                                 {chunks["imod"], kModulatorSize}};
    if (presets.records.count() < 1 || instruments.records.count() < 1)
        return std::nullopt;

    const Records samples{chunks["shdr"], kSampleSize};
    if (samples.count() < 1)
        return std::nullopt;

    NewList newPresets, newInstruments;
    // Neither counts its terminal record.
    Renumbering instrumentNumbers(instruments.records.count() - 1), sampleNumbers(samples.count() - 1);
    const auto useInstrument = renumbering(kInstrumentGenerator, instrumentNumbers);
    const auto useSample = renumbering(kSampleGenerator, sampleNumbers);
    for (std::size_t p = 0; p + 1 < presets.records.count(); ++p) {
        const std::uint8_t* preset = presets.records.at(p);
        const unsigned program = read16(preset + kPresetProgramAt);
        if (read16(preset + kPresetBankAt) == kDrumBank && program < kits.size() && kits.test(program) &&
            !copyRecord(presets, p, newPresets, useInstrument))
            return std::nullopt;
    }
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
    return std::string(kPrefix) + kits.to_string() + ":" + path;
}

std::optional<KitSet> drumKitsIn(const std::string& path)
{
    const auto file = drumOnlyFile(path);
    if (!file)
        return std::nullopt;
    return presetPrograms(presetDataOf(*file));
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

}  // namespace padscope
