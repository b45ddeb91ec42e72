#include "catalogue/drum_names.h"

#include "drum_table_data.h"  // generated from data/ by padscope-drumgen
#include "catalogue/kits.h"

#include <ostream>

namespace padscope {

namespace {

// The row of drumtable::kKits that (program, map) uses, or -1.
int kitRow(int program, int map)
{
    if (program < 0 || program >= kProgramCount || map < 0 || map >= kMapCount)
        return -1;
    return drumtable::kKitOf[program][map] - 1;
}

}  // namespace

std::string_view drumName(int program, int note, int map)
{
    const int row = kitRow(program, map);
    if (row < 0 || note < 0 || note >= kNoteCount)
        return {};
    const auto name = drumtable::kKits[row][note];
    const auto start = drumtable::kNameStart[name];
    return {drumtable::kNameText + start, static_cast<std::size_t>(drumtable::kNameStart[name + 1] - start)};
}

bool kitPresent(int program, int map)
{
    return kitRow(program, map) >= 0;
}

void writeDrumTable(std::ostream& out)
{
    for (int program = 0; program < kProgramCount; ++program)
        for (int map = 0; map < kMapCount; ++map)
            if (kitPresent(program, map))
                for (int note = 0; note < kNoteCount; ++note)
                    out << program << '\t' << note << '\t' << map << '\t' << drumName(program, note, map) << '\n';
}

}  // namespace padscope
