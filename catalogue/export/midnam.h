#pragma once

#include "catalogue/export/kit_selection.h"

#include <iosfwd>
#include <span>

namespace padscope {

// Writes the kits as one MIDI Name Document (.midnam), as Ardour and other
// sequencers read it: on MIDI channel 10, one patch bank per map (Bank Select
// MSB 0, LSB the map index), in it one patch per kit (Program Change the
// kit's program), and per kit a note-name list of its sounding notes. Names
// are kept exactly, trailing blanks included, with XML's special characters
// escaped.
void writeMidnam(std::ostream& out, std::span<const KitRef> kits);

}  // namespace padscope
