#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace padscope {

// One kit that a map holds: a program (0-based) in a drum map.
struct KitRef {
    int program;
    int map;
    friend bool operator==(const KitRef&, const KitRef&) = default;
};

// Which kits an export writes: one map or all, one program or all.
struct KitSelection {
    std::optional<int> map;
    std::optional<int> program;
};

// The kits present in the table that the selection picks, by program, then map
// (the order of the table listing). Absent kits are never picked.
std::vector<KitRef> selectKits(const KitSelection& selection);

// The map's name on the command line ("sc8850", "tg300b", ...), and back;
// empty or nullopt when there is no such map.
std::string_view mapKey(int map);
std::optional<int> mapFromKey(std::string_view key);

// The map's name as the window shows it ("SC-8850", "TG-300B(XG)").
std::string_view mapTitle(int map);

// The kit's name as the sound module gives it, which is its button's caption
// ("STANDARD 1") but where the caption has a typo; "Program <n>" (1-based) for
// a program that no button selects.
std::string kitTitle(int program);

// The program of a kit given as the number the window shows (1-128), as its
// button's caption or as its module's name, in any case; nullopt when it names
// no program.
std::optional<int> programFromKit(std::string_view kit);

// Whether a note's entry names a sound: "Nothing" and empty entries do not.
bool sounding(std::string_view name);

// The name without the blanks at its end, for formats that cannot keep them.
std::string_view withoutTrailingBlanks(std::string_view name);

}  // namespace padscope
