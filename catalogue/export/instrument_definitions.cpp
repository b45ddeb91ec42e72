#include "catalogue/export/instrument_definitions.h"

#include "catalogue/drum_names.h"
#include "catalogue/kits.h"

#include <ostream>
#include <string>

namespace padscope {

namespace {

constexpr std::string_view kEnd = "\r\n";

std::string patchListName(int map)
{
    return "Padscope " + std::string(mapTitle(map)) + " Drum Kits";
}

std::string noteListName(const KitRef& kit)
{
    return "Padscope " + std::string(mapTitle(kit.map)) + ' ' + kitTitle(kit.program);
}

std::string instrumentName(std::span<const KitRef> kits)
{
    for (const auto& kit : kits)
        if (kit.map != kits.front().map)
            return "Padscope GS/XG Drum Maps";
    return kits.empty() ? std::string("Padscope GS/XG Drum Maps") : "Padscope " + std::string(mapTitle(kits.front().map)) + " Drums";
}

bool mapUsed(std::span<const KitRef> kits, int map)
{
    for (const auto& kit : kits)
        if (kit.map == map)
            return true;
    return false;
}

}  // namespace

void writeInstrumentDefinitions(std::ostream& out, std::span<const KitRef> kits)
{
    out << "; Drum kits and drum sound names of GS/XG drum maps, written by padscope-drumtable." << kEnd << kEnd;

    out << ".Patch Names" << kEnd;
    for (int map = 0; map < kMapCount; ++map) {
        if (!mapUsed(kits, map))
            continue;
        out << kEnd << '[' << patchListName(map) << ']' << kEnd;
        for (const auto& kit : kits)
            if (kit.map == map)
                out << kit.program << '=' << withoutTrailingBlanks(kitTitle(kit.program)) << kEnd;
    }

    out << kEnd << ".Note Names" << kEnd;
    for (int map = 0; map < kMapCount; ++map) {
        for (const auto& kit : kits) {
            if (kit.map != map)
                continue;
            out << kEnd << '[' << noteListName(kit) << ']' << kEnd;
            for (int note = 0; note < kNoteCount; ++note) {
                const auto name = drumName(kit.program, note, kit.map);
                if (sounding(name))
                    out << note << '=' << withoutTrailingBlanks(name) << kEnd;
            }
        }
    }

    out << kEnd << ".Controller Names" << kEnd << kEnd << ".RPN Names" << kEnd << kEnd << ".NRPN Names" << kEnd;

    out << kEnd << ".Instrument Definitions" << kEnd << kEnd << '[' << instrumentName(kits) << ']' << kEnd;
    for (int map = 0; map < kMapCount; ++map)
        if (mapUsed(kits, map))
            out << "Patch[" << map << "]=" << patchListName(map) << kEnd;
    for (int map = 0; map < kMapCount; ++map)
        for (const auto& kit : kits)
            if (kit.map == map)
                out << "Key[" << map << ',' << kit.program << "]=" << noteListName(kit) << kEnd;
    out << "Drum[*,*]=1" << kEnd;
}

}  // namespace padscope
