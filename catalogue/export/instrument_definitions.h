#pragma once

#include "catalogue/export/kit_selection.h"

#include <iosfwd>
#include <span>

namespace padscope {

// Writes the kits as a Cakewalk/SONAR instrument definition file (.ins): per
// map a patch-name list of its kits and per kit a note-name list of its
// sounding notes, and one drum instrument that uses them, its bank numbers
// being the maps' Bank Select (MSB 0, LSB the map index). Lines end in CR LF;
// names lose their trailing blanks, which the format cannot keep.
void writeInstrumentDefinitions(std::ostream& out, std::span<const KitRef> kits);

}  // namespace padscope
