#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace padscope {

// Where a drum sound is: a kit (0-based program) on one note of one map.
struct SoundPlace {
    int program;
    int map;
    int note;
    friend bool operator==(const SoundPlace&, const SoundPlace&) = default;
};

// One name that matched, with every kit, map and note that plays it.
struct FoundSound {
    std::string_view name;           // exactly as stored
    std::vector<SoundPlace> places;  // by program, then map, then note
};

// The drum sounds whose name holds `text`. Case does not count, nor do blanks
// and hyphens ("tr909" finds "TR-909"); the "[55]", "[88]" and "[Pro]" marks
// at a name's start are passed over unless the text holds a "[". Only the
// kits of the kit buttons count, each in the maps that enable its button, and
// "Nothing" is no sound. Names that are the text come first, then names that
// start with it, then the rest, each group alphabetical. With `map`, only that
// map's places. A text of blanks and hyphens alone finds nothing.
std::vector<FoundSound> findSounds(std::string_view text, std::optional<int> map = std::nullopt);

// The places of findSounds() as lines of the drum table,
// "program<TAB>note<TAB>map<TAB>name", in the table's order; returns how many.
std::size_t writeFoundSounds(std::ostream& out, std::string_view text, std::optional<int> map = std::nullopt);

// A note's pitch class as the pads page names its row: "C", "C#" ... "B".
std::string_view pitchClassName(int note);

// A note as the pads page names its row and octave, with its number:
// "C 2 (36)", "C# -1 (1)", "G 9 (127)".
std::string noteName(int note);

}  // namespace padscope
