#include "core/settings/drum_edits.h"

#include "catalogue/kits.h"

#include <algorithm>

namespace padscope {

namespace {

constexpr int kNotes = 128;
constexpr int kPrograms = 128;

bool inRange(int value, int count) { return value >= 0 && value < count; }

std::optional<int> parseNumber(std::string_view text)
{
    if (text.empty() || text.size() > 3 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int value = 0;
    for (const char c : text)
        value = value * 10 + (c - '0');
    return value;
}

// Splits on `separator`, leaving out empty pieces.
std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> pieces;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(separator), text.size());
        if (end > 0)
            pieces.push_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return pieces;
}

}  // namespace

const NoteEdit* DrumEdits::find(int map, int program, int note) const
{
    const KitEdits* edits = kit(map, program);
    if (!edits)
        return nullptr;
    const auto it = edits->find(note);
    return it == edits->end() ? nullptr : &it->second;
}

const DrumEdits::KitEdits* DrumEdits::kit(int map, int program) const
{
    const auto it = kits_.find({map, program});
    return it == kits_.end() ? nullptr : &it->second;
}

void DrumEdits::set(int map, int program, int note, DrumParameter parameter, std::optional<int> value)
{
    if (!findMap(map) || !inRange(program, kPrograms) || !inRange(note, kNotes) || !mapHasParameter(map, parameter))
        return;
    if (!value) {
        const auto kitIt = kits_.find({map, program});
        if (kitIt == kits_.end())
            return;
        const auto noteIt = kitIt->second.find(note);
        if (noteIt == kitIt->second.end())
            return;
        noteIt->second.values[parameterIndex(parameter)].reset();
        if (noteIt->second.empty())
            kitIt->second.erase(noteIt);
        if (kitIt->second.empty())
            kits_.erase(kitIt);
        return;
    }
    kits_[{map, program}][note].values[parameterIndex(parameter)] = static_cast<std::uint8_t>(std::clamp(*value, 0, 127));
}

void DrumEdits::resetNote(int map, int program, int note)
{
    const auto it = kits_.find({map, program});
    if (it == kits_.end())
        return;
    it->second.erase(note);
    if (it->second.empty())
        kits_.erase(it);
}

void DrumEdits::resetKit(int map, int program) { kits_.erase({map, program}); }

std::vector<std::pair<int, int>> DrumEdits::kits() const
{
    std::vector<std::pair<int, int>> result;
    for (const auto& [key, edits] : kits_)
        result.push_back(key);
    return result;
}

std::string kitEditsText(const DrumEdits::KitEdits& edits)
{
    std::string text;
    for (const auto& [note, edit] : edits) {
        if (!text.empty())
            text += ' ';
        text += std::to_string(note);
        char separator = ':';
        for (const DrumParameterInfo& info : kDrumParameters) {
            if (const auto value = edit.value(info.parameter)) {
                text += separator;
                text += info.key;
                text += '=';
                text += std::to_string(*value);
                separator = ',';
            }
        }
    }
    return text;
}

void readKitEdits(std::string_view text, int map, int program, DrumEdits& edits)
{
    for (const std::string_view item : split(text, ' ')) {
        const std::size_t colon = item.find(':');
        if (colon == std::string_view::npos)
            continue;
        const auto note = parseNumber(item.substr(0, colon));
        if (!note)
            continue;
        for (const std::string_view pair : split(item.substr(colon + 1), ',')) {
            const std::size_t equals = pair.find('=');
            if (equals == std::string_view::npos)
                continue;
            const auto value = parseNumber(pair.substr(equals + 1));
            const std::string_view key = pair.substr(0, equals);
            const auto info = std::find_if(kDrumParameters.begin(), kDrumParameters.end(),
                                           [key](const DrumParameterInfo& i) { return i.key == key; });
            if (value && *value <= 127 && info != kDrumParameters.end())
                edits.set(map, program, *note, info->parameter, *value);
        }
    }
}

std::string kitEditsKey(int map, int program) { return std::to_string(map) + '.' + std::to_string(program); }

std::optional<std::pair<int, int>> parseKitEditsKey(std::string_view key)
{
    const std::size_t dot = key.find('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    const auto map = parseNumber(key.substr(0, dot));
    const auto program = parseNumber(key.substr(dot + 1));
    if (!map || !program || !findMap(*map) || !inRange(*program, kPrograms))
        return std::nullopt;
    return std::pair{*map, *program};
}

}  // namespace padscope
