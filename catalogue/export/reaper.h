#pragma once

#include "catalogue/export/kit_selection.h"

#include <iosfwd>
#include <string>

namespace padscope {

// Writes one kit as a REAPER note-name file (MIDI editor: Note names > Load
// note names from file): a "# MIDI note/CC name map" line, then one
// "note name" line per sounding note. Names run to the end of the line, so
// their trailing blanks are dropped.
void writeReaperNoteNames(std::ostream& out, const KitRef& kit);

// A file name for that kit's note names, as "sc8850-026-tr-808.txt"
// (map, program as the window shows it, kit name).
std::string reaperFileName(const KitRef& kit);

}  // namespace padscope
