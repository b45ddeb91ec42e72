#include "catalogue/export/reaper.h"

#include "catalogue/drum_names.h"

#include <cctype>
#include <ostream>

namespace padscope {

void writeReaperNoteNames(std::ostream& out, const KitRef& kit)
{
    out << "# MIDI note/CC name map\n";
    for (int note = 0; note < kNoteCount; ++note) {
        const auto name = drumName(kit.program, note, kit.map);
        if (sounding(name))
            out << note << ' ' << withoutTrailingBlanks(name) << '\n';
    }
}

std::string reaperFileName(const KitRef& kit)
{
    std::string number = std::to_string(kit.program + 1);
    number.insert(0, number.size() < 3 ? 3 - number.size() : 0, '0');
    std::string name = std::string(mapKey(kit.map)) + '-' + number + '-';
    bool dash = false;
    for (unsigned char c : kitTitle(kit.program)) {
        if (std::isalnum(c)) {
            if (dash && name.back() != '-')
                name += '-';
            name += static_cast<char>(std::tolower(c));
            dash = false;
        } else {
            dash = true;
        }
    }
    return name + ".txt";
}

}  // namespace padscope
