#include "core/synth/sound_fonts.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <string_view>

namespace padscope {

namespace {

bool looksLikeSoundFont(const std::filesystem::path& path)
{
    return !soundFontFault(path);
}

}  // namespace

// A SoundFont is a RIFF file of form type "sfbk". A file shorter than its
// RIFF header says was cut off, by a failed download for instance.
std::optional<Failure> soundFontFault(const std::filesystem::path& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status))
        return Failure::SoundFontMissing;
    if (std::filesystem::is_directory(status))
        return Failure::SoundFontIsFolder;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Failure::SoundFontUnreadable;
    const auto fileSize = std::filesystem::file_size(path, error);
    if (!error && fileSize == 0)
        return Failure::SoundFontEmpty;
    std::array<unsigned char, 12> head{};
    if (error || !file.read(reinterpret_cast<char*>(head.data()), head.size()))
        return Failure::SoundFontNotASoundFont;
    const auto tag = [&](std::size_t at, std::string_view text) {
        return std::equal(text.begin(), text.end(), head.begin() + static_cast<std::ptrdiff_t>(at));
    };
    if (!tag(0, "RIFF") || !tag(8, "sfbk"))
        return Failure::SoundFontNotASoundFont;
    const std::uintmax_t riffSize = head[4] | head[5] << 8 | head[6] << 16 | std::uintmax_t{head[7]} << 24;
    if (riffSize + 8 > fileSize)
        return Failure::SoundFontTruncated;
    return std::nullopt;
}

SoundFontSet soundFontSetOf(const std::vector<std::filesystem::path>& files)
{
    SoundFontSet set;
    if (files.empty())
        return set;
    set.base = files.front();
    set.overlays.assign(files.begin() + 1, files.end());
    return set;
}

std::optional<std::string> soundFontProblem(const std::filesystem::path& path)
{
    const std::optional<Failure> fault = soundFontFault(path);
    if (!fault)
        return std::nullopt;
    switch (*fault) {
    case Failure::SoundFontMissing: return "there is no such file";
    case Failure::SoundFontIsFolder: return "it is not a file";
    case Failure::SoundFontUnreadable: return "it cannot be read";
    case Failure::SoundFontEmpty: return "it is empty";
    case Failure::SoundFontTruncated: return "it is cut short";
    default: return "it is not a SoundFont";
    }
}

std::optional<SoundFontSet> chosenSoundFonts(const std::vector<std::filesystem::path>& paths,
                                             std::vector<std::string>& problems)
{
    bool usable = !paths.empty();
    for (const auto& path : paths) {
        if (const auto problem = soundFontProblem(path)) {
            problems.push_back("the SoundFont " + path.string() + " cannot be used: " + *problem);
            usable = false;
        }
    }
    if (!usable)
        return std::nullopt;
    return soundFontSetOf(paths);
}

SoundFontSearch standardSoundFontSearch()
{
    // Debian and Ubuntu keep SoundFonts in /usr/share/sounds/sf2, Fedora and
    // Arch in /usr/share/soundfonts.
    const std::array<std::filesystem::path, 3> folders{
        "/usr/share/sounds/sf2", "/usr/share/soundfonts", "/usr/local/share/soundfonts"};
    SoundFontSearch search;
    for (const auto& folder : folders) {
        search.bases.push_back(folder / "default-GM.sf2");
        search.bases.push_back(folder / "default.sf2");
        search.bases.push_back(folder / "FluidR3_GM.sf2");
    }
    for (const auto& folder : folders)
        search.overlays.push_back(folder / "FluidR3_GS.sf2");
    return search;
}

std::optional<SoundFontSet> findSoundFonts(const SoundFontSearch& search)
{
    SoundFontSet set;
    for (const auto& path : search.bases) {
        if (looksLikeSoundFont(path)) {
            set.base = path;
            break;
        }
    }
    if (set.base.empty())
        return std::nullopt;
    for (const auto& path : search.overlays) {
        if (looksLikeSoundFont(path)) {
            set.overlays.push_back(path);
            break;  // the same font is often installed in more than one place
        }
    }
    return set;
}

}  // namespace padscope
