#include "core/synth/fluid/drum_sound_generators.h"

#include "core/synth/preset_part.h"
#include "core/synth/preset_records.h"
#include "core/synth/fluid/font_name_number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

namespace padscope {

namespace {

constexpr std::uint16_t kChorusSend = 15, kReverbSend = 16, kPan = 17, kAttenuation = 48, kCoarseTune = 51;
// Each list of a preset part is indexed by 16 bits.
constexpr std::size_t kMostRecords = 0xFFFF;
// FluidSynth, like the EMU cards SoundFonts were voiced on, counts a zone's
// attenuation in units of 0.4 cB.
constexpr double kAttenuationUnit = 0.4;


void append16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}

// A generator's amount in a zone, else in its record's global zone.
std::optional<int> amountIn(const Records& generators, const Zone& zone, const Zone* global, unsigned kind)
{
    for (const Zone* z : {&zone, global}) {
        for (std::size_t g = z ? z->firstGenerator : 0; z && g < z->endGenerator; ++g)
            if (read16(generators.at(g)) == kind)
                return static_cast<std::int16_t>(read16(generators.at(g) + 2));
    }
    return std::nullopt;
}

const Zone* globalOf(const std::vector<Zone>& zones)
{
    return !zones.empty() && zones.front().global() ? &zones.front() : nullptr;
}

// Where instrument `i` places key `key`: the middle of its zones there, so
// that a stereo pair stays one around the new place.
int instrumentPan(const PresetLists& lists, unsigned instrument, unsigned key)
{
    const auto zones = zonesOf(lists.instruments, instrument, kSampleGenerator);
    if (!zones)
        return 0;
    int sum = 0, count = 0;
    for (const Zone& zone : *zones) {
        if (zone.global() || key < zone.lowKey || key > zone.highKey)
            continue;
        sum += amountIn(lists.instruments.generators, zone, globalOf(*zones), kPan).value_or(0);
        ++count;
    }
    return count ? sum / count : 0;
}

using Amounts = std::vector<std::pair<std::uint16_t, int>>;

// The preset level generators of a zone on one edited key. A preset zone's
// amounts add to its instrument's: pitch, level and sends move the zone's
// own amount (or its global zone's), while pan, which the modules set
// absolutely, replaces it and makes up for where the instrument puts the key.
Amounts shapedAmounts(const PresetLists& lists, const Zone& zone, const Zone* global, unsigned key,
                      const NoteEdit& edit)
{
    const auto own = [&](unsigned kind) { return amountIn(lists.presets.generators, zone, global, kind).value_or(0); };
    // The sends of a drum sound are depths within the part's send: 127, the
    // most, leaves the SoundFont's own send as it is.
    const auto send = [](int value) { return (value - 127) * 1000 / 127; };
    Amounts amounts;
    if (const auto pitch = edit.value(DrumParameter::Pitch))
        amounts.emplace_back(kCoarseTune, own(kCoarseTune) + *pitch - 0x40);
    if (const auto level = edit.value(DrumParameter::Level)) {
        const double centibels = *level == 0 ? 1440.0 : 200.0 * std::log10(127.0 / *level);
        amounts.emplace_back(kAttenuation, own(kAttenuation) + static_cast<int>(std::lround(centibels / kAttenuationUnit)));
    }
    if (const auto pan = edit.value(DrumParameter::Pan)) {
        const int place = std::clamp((*pan - 64) * 500 / 63, -500, 500);
        amounts.emplace_back(kPan, place - instrumentPan(lists, *zone.link, key));
    }
    if (const auto reverb = edit.value(DrumParameter::Reverb))
        amounts.emplace_back(kReverbSend, own(kReverbSend) + send(*reverb));
    if (const auto chorus = edit.value(DrumParameter::Chorus))
        amounts.emplace_back(kChorusSend, own(kChorusSend) + send(*chorus));
    for (auto& [kind, amount] : amounts)
        amount = std::clamp(amount, -0x8000, 0x7FFF);
    return amounts;
}

// The preset list written anew.
struct NewPresets {
    std::vector<std::uint8_t> records, bags, generators, modulators;

    void startZone()
    {
        append16(bags, static_cast<unsigned>(generators.size() / kGeneratorSize));
        append16(bags, static_cast<unsigned>(modulators.size() / kModulatorSize));
    }
    void appendGenerator(unsigned kind, int amount)
    {
        append16(generators, kind);
        append16(generators, static_cast<std::uint16_t>(amount));
    }
    bool fits() const
    {
        return bags.size() / kBagSize <= kMostRecords && generators.size() / kGeneratorSize <= kMostRecords
               && modulators.size() / kModulatorSize <= kMostRecords;
    }
};

void copyAsItIs(const RecordList& from, const Zone& zone, NewPresets& to)
{
    to.startZone();
    to.generators.insert(to.generators.end(), from.generators.at(zone.firstGenerator),
                         from.generators.at(zone.endGenerator));
    to.modulators.insert(to.modulators.end(), from.modulators.at(zone.firstModulator),
                         from.modulators.at(zone.endModulator));
}

// Copies a preset zone onto the keys [low, high], with `amounts` in place of
// its own generators of those kinds. The key range comes first, the velocity
// range next, the instrument last.
void copyOnKeys(const RecordList& from, const Zone& zone, unsigned low, unsigned high, const Amounts& amounts,
                NewPresets& to)
{
    to.startZone();
    to.appendGenerator(kKeyRangeGenerator, static_cast<int>(low | high << 8));
    const auto shaped = [&amounts](unsigned kind) {
        return std::any_of(amounts.begin(), amounts.end(), [kind](const auto& a) { return a.first == kind; });
    };
    for (const bool velocity : {true, false}) {
        for (std::size_t g = zone.firstGenerator; g < zone.endGenerator; ++g) {
            const unsigned kind = read16(from.generators.at(g));
            if (kind != kKeyRangeGenerator && kind != kInstrumentGenerator && (kind == kVelocityRangeGenerator) == velocity
                && !shaped(kind))
                to.generators.insert(to.generators.end(), from.generators.at(g), from.generators.at(g) + kGeneratorSize);
        }
    }
    for (const auto& [kind, amount] : amounts)
        to.appendGenerator(kind, amount);
    to.appendGenerator(kInstrumentGenerator, static_cast<int>(*zone.link));
    to.modulators.insert(to.modulators.end(), from.modulators.at(zone.firstModulator),
                         from.modulators.at(zone.endModulator));
}

// Copies a preset's zones: one whose keys hold an edit is split into runs of
// keys without one, and a zone of its own for each edited key.
bool copyShaped(const PresetLists& lists, std::size_t preset, const DrumSounds& sounds, NewPresets& to)
{
    const auto zones = zonesOf(lists.presets, preset, kInstrumentGenerator);
    if (!zones)
        return false;
    for (const Zone& zone : *zones) {
        const unsigned high = std::min(zone.highKey, 127u);
        const bool edited = !zone.global() && zone.lowKey <= high
                            && std::any_of(sounds.begin() + zone.lowKey, sounds.begin() + high + 1,
                                           [](const NoteEdit& edit) { return !edit.empty(); });
        if (!edited) {
            copyAsItIs(lists.presets, zone, to);
            continue;
        }
        for (unsigned low = zone.lowKey; low <= high; ++low) {
            const NoteEdit& edit = sounds[low];
            unsigned last = low;
            if (!edit.empty()) {
                copyOnKeys(lists.presets, zone, low, low, shapedAmounts(lists, zone, globalOf(*zones), low, edit), to);
                continue;
            }
            while (last < high && sounds[last + 1].empty())
                ++last;
            copyOnKeys(lists.presets, zone, low, last, {}, to);
            low = last;
        }
    }
    return to.fits();
}

void appendChunk(std::vector<std::uint8_t>& out, const char* id, std::span<const std::uint8_t> data)
{
    out.insert(out.end(), id, id + 4);
    append16(out, static_cast<unsigned>(data.size() & 0xFFFF));
    append16(out, static_cast<unsigned>(data.size() >> 16));
    out.insert(out.end(), data.begin(), data.end());
}

}  // namespace


bool synthHears(DrumParameter parameter)
{
    return parameter != DrumParameter::Delay;
}

bool anyShaped(const DrumSounds& sounds)
{
    return std::any_of(sounds.begin(), sounds.end(), [](const NoteEdit& edit) { return !edit.empty(); });
}


std::string drumSoundsText(const DrumSounds& sounds)
{
    std::string text;
    for (std::size_t note = 0; note < sounds.size(); ++note) {
        for (const DrumParameterInfo& info : kDrumParameters) {
            const auto value = sounds[note].value(info.parameter);
            if (value && synthHears(info.parameter))
                text += (text.empty() ? "" : ",") + std::to_string(note) + std::string(info.key)
                        + std::to_string(*value);
        }
    }
    return text;
}

std::optional<DrumSounds> parseDrumSounds(std::string_view text)
{
    const auto number = [&text] { return takeFontNameNumber(text); };
    DrumSounds sounds{};
    while (!text.empty()) {
        const auto note = number();
        const auto info = std::find_if(kDrumParameters.begin(), kDrumParameters.end(),
                                       [&text](const DrumParameterInfo& i) { return text.starts_with(i.key); });
        if (!note || info == kDrumParameters.end() || !synthHears(info->parameter))
            return std::nullopt;
        text.remove_prefix(info->key.size());
        const auto value = number();
        if (!value || (!text.empty() && !text.starts_with(',')))
            return std::nullopt;
        sounds[static_cast<std::size_t>(*note)].values[parameterIndex(info->parameter)] =
            static_cast<std::uint8_t>(*value);
        if (!text.empty())
            text.remove_prefix(1);
    }
    return sounds;
}

std::optional<std::vector<std::uint8_t>> withDrumSounds(std::span<const std::uint8_t> presetData,
                                                        const DrumSounds& sounds)
{
    const auto lists = presetLists(presetData);
    if (!lists)
        return std::nullopt;
    const RecordList& presets = lists->presets;
    NewPresets to;
    for (std::size_t p = 0; p < presets.records.count(); ++p) {
        const std::size_t at = to.records.size();
        to.records.insert(to.records.end(), presets.records.at(p), presets.records.at(p) + presets.records.size);
        to.records[at + presets.bagIndexAt] = (to.bags.size() / kBagSize) & 0xFF;
        to.records[at + presets.bagIndexAt + 1] = (to.bags.size() / kBagSize) >> 8;
        if (p + 1 < presets.records.count() && !copyShaped(*lists, p, sounds, to))
            return std::nullopt;
    }
    // The terminal bag, generator and modulator.
    to.startZone();
    to.generators.resize(to.generators.size() + kGeneratorSize, 0);
    to.modulators.resize(to.modulators.size() + kModulatorSize, 0);

    const RecordList& instruments = lists->instruments;
    std::vector<std::uint8_t> out;
    appendChunk(out, "phdr", to.records);
    appendChunk(out, "pbag", to.bags);
    appendChunk(out, "pmod", to.modulators);
    appendChunk(out, "pgen", to.generators);
    appendChunk(out, "inst", instruments.records.bytes);
    appendChunk(out, "ibag", instruments.bags.bytes);
    appendChunk(out, "imod", instruments.modulators.bytes);
    appendChunk(out, "igen", instruments.generators.bytes);
    appendChunk(out, "shdr", lists->samples.bytes);
    return out;
}

}  // namespace padscope
