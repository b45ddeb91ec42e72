#pragma once

#include <iosfwd>
#include <string_view>

namespace padscope {

inline constexpr int kProgramCount = 128, kNoteCount = 128;  // kMapCount is in kits.h

// The name of the drum sound that the module plays for (program, note, map), as the
// pads show it; "Nothing" where the kit has no sound on that note. Empty when that
// map lacks the kit, or when any index is out of range (never reads outside the table).
std::string_view drumName(int program, int note, int map);

// Whether the map holds the kit: then all 128 of its notes have a name.
bool kitPresent(int program, int map);

// Writes every name of every present kit as "program<TAB>note<TAB>map<TAB>name"
// lines, by program, then map, then note; names exactly as stored.
void writeDrumTable(std::ostream& out);

}  // namespace padscope
