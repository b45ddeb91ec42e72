#pragma once

#include "catalogue/export/kit_selection.h"

#include <filesystem>
#include <iosfwd>

namespace padscope {

// The settings file the program beside `executable` uses.
std::filesystem::path programSettingsPath(const std::filesystem::path& executable);

// For each kit of the settings file that has drum sound edits and that
// `selection` picks: a "# map, kit" line, then the set-up that gives the
// kit those sounds, one message a line in hex, with the controller page at
// its start values. Returns how many kits it wrote.
std::size_t writeDrumSoundSetUps(std::ostream& out, const std::filesystem::path& settingsFile,
                                 const KitSelection& selection);

}  // namespace padscope
