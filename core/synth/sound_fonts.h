#pragma once

#include "core/failure.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace padscope {

// Where SoundFonts are looked for. The first readable base font is the
// synth's General MIDI set; every readable overlay is loaded on top of it
// and wins where both hold the same preset.
struct SoundFontSearch {
    std::vector<std::filesystem::path> bases;
    std::vector<std::filesystem::path> overlays;
};

// The distribution's usual places: Debian's default-GM.sf2 alternative and
// FluidR3_GM.sf2, with FluidR3_GS.sf2 (the GS SFX kit) as the overlay.
SoundFontSearch standardSoundFontSearch();

struct SoundFontSet {
    std::filesystem::path base;
    std::vector<std::filesystem::path> overlays;
};

// The fonts the user chose, the first the base and the others laid over it;
// nothing when any of them cannot be a SoundFont, and then the failure of
// each such file is added to `problems`.
std::optional<SoundFontSet> chosenSoundFonts(const std::vector<std::filesystem::path>& paths,
                                             std::vector<FailureReport>& problems);

// Picks the fonts without loading them: a candidate counts when it is a
// readable regular file that starts like a SoundFont. Nothing when no base is found.
std::optional<SoundFontSet> findSoundFonts(const SoundFontSearch& search);

// Why `path` cannot be a SoundFont, judged without loading it by its RIFF
// header, the lists FluidSynth reads and the preset part: one of the
// SoundFont failures; nothing when it may be one. Only a regular file is
// opened.
std::optional<Failure> soundFontFault(const std::filesystem::path& path);

// The first file as the base, the others on top of it in order.
SoundFontSet soundFontSetOf(const std::vector<std::filesystem::path>& files);

}  // namespace padscope
