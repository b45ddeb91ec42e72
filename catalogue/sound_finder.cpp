#include "catalogue/sound_finder.h"

#include "catalogue/drum_names.h"
#include "catalogue/kits.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <iterator>
#include <ostream>
#include <tuple>
#include <unordered_map>
#include <utility>

namespace padscope {

namespace {

// Lower case, without blanks and hyphens: the form both sides are compared in.
std::string folded(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const unsigned char c : text)
        if (c != ' ' && c != '-')
            out.push_back(static_cast<char>(std::tolower(c)));
    return out;
}

// Length of the "[55]", "[88]" or "[Pro]" mark that starts a folded name.
std::size_t markLength(std::string_view foldedName)
{
    for (const std::string_view mark : {"[55]", "[88]", "[pro]"})
        if (foldedName.starts_with(mark))
            return mark.size();
    return 0;
}

struct IndexedName {
    std::string_view name;
    std::string key;           // folded, mark included
    std::size_t markLength;    // of the mark that starts `key`
    std::vector<SoundPlace> places;
};

// Every sounding name of the kits the buttons offer, alphabetical, built once.
const std::vector<IndexedName>& nameIndex()
{
    static const std::vector<IndexedName> index = [] {
        std::vector<IndexedName> names;
        std::unordered_map<std::string_view, std::size_t> rowOf;
        for (const KitButton& kit : kKitButtons)
            for (int map = 0; map < kMapCount; ++map) {
                if (!kit.enabledInMap[static_cast<std::size_t>(map)])
                    continue;
                for (int note = 0; note < kNoteCount; ++note) {
                    const std::string_view name = drumName(kit.program, note, map);
                    if (name.empty() || name == "Nothing")
                        continue;
                    const auto [row, added] = rowOf.try_emplace(name, names.size());
                    if (added) {
                        std::string key = folded(name);
                        const std::size_t mark = markLength(key);
                        names.push_back({name, std::move(key), mark, {}});
                    }
                    names[row->second].places.push_back({kit.program, map, note});
                }
            }
        // Alphabetical without the marks; names tagged otherwise ("[RND]") last.
        std::ranges::sort(names, {}, [](const IndexedName& n) {
            const std::string_view unmarked = std::string_view(n.key).substr(n.markLength);
            return std::tuple(unmarked.starts_with('['), unmarked, n.name);
        });
        return names;
    }();
    return index;
}

}  // namespace

std::vector<FoundSound> findSounds(std::string_view text, std::optional<int> map)
{
    const std::string wanted = folded(text);
    if (wanted.empty())
        return {};
    const bool wholeName = wanted.find('[') != std::string::npos;
    // Whole-name matches, then those at the start, then the rest.
    std::array<std::vector<FoundSound>, 3> ranked;
    for (const IndexedName& entry : nameIndex()) {
        const std::string_view searched = std::string_view(entry.key).substr(wholeName ? 0 : entry.markLength);
        const std::size_t at = searched.find(wanted);
        if (at == std::string_view::npos)
            continue;
        FoundSound found{entry.name, {}};
        if (map)
            std::ranges::copy_if(entry.places, std::back_inserter(found.places),
                                 [&](const SoundPlace& p) { return p.map == *map; });
        else
            found.places = entry.places;
        if (found.places.empty())
            continue;
        const std::size_t rank = searched.size() == wanted.size() ? 0 : at == 0 ? 1 : 2;
        ranked[rank].push_back(std::move(found));
    }
    std::vector<FoundSound> results = std::move(ranked[0]);
    for (std::size_t rank = 1; rank < ranked.size(); ++rank)
        std::ranges::move(ranked[rank], std::back_inserter(results));
    return results;
}

std::size_t writeFoundSounds(std::ostream& out, std::string_view text, std::optional<int> map)
{
    std::vector<std::pair<SoundPlace, std::string_view>> lines;
    for (const FoundSound& sound : findSounds(text, map))
        for (const SoundPlace& place : sound.places)
            lines.emplace_back(place, sound.name);
    std::ranges::sort(lines, {}, [](const auto& line) {
        return std::tuple(line.first.program, line.first.map, line.first.note);
    });
    for (const auto& [place, name] : lines)
        out << place.program << '\t' << place.note << '\t' << place.map << '\t' << name << '\n';
    return lines.size();
}

std::string_view pitchClassName(int note)
{
    static constexpr std::array<std::string_view, 12> kRows{"C", "C#", "D", "D#", "E", "F",
                                                            "F#", "G", "G#", "A", "A#", "B"};
    return note < 0 ? std::string_view() : kRows[static_cast<std::size_t>(note % 12)];
}

std::string noteName(int note)
{
    if (note < 0 || note >= kNoteCount)
        return {};
    return std::string(pitchClassName(note)) + ' ' + std::to_string(note / 12 - 1) + " (" + std::to_string(note)
        + ')';
}

}  // namespace padscope
