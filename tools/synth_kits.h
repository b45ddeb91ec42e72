#pragma once

#include <filesystem>
#include <iosfwd>
#include <vector>

namespace padscope {

// Writes, for each kit button, what the built-in synth plays from the
// SoundFonts `fonts` (the first the base, the others laid over it; the
// synth's own choice when empty), and a count of own kits and stand-ins.
// False, with a message on `errors`, when a font cannot be read.
bool writeSynthKits(std::ostream& out, std::ostream& errors, const std::vector<std::filesystem::path>& fonts);

}  // namespace padscope
