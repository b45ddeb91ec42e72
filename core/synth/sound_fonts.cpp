#include "core/synth/sound_fonts.h"

#include "core/synth/preset_part.h"
#include "core/platform/regular_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace padscope {

namespace {

constexpr std::uint64_t kChunkHeaderSize = 8;

std::uint32_t read32At(const std::array<unsigned char, 12>& bytes, std::size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | std::uint32_t{bytes[at + 3]} << 24;
}

bool tagAt(const std::array<unsigned char, 12>& bytes, std::size_t at, std::string_view text)
{
    return std::equal(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

// A SoundFont is a RIFF file of form type "sfbk". A file shorter than its
// RIFF header says was cut off, by a failed download for instance. `riffEnd`
// is where its RIFF chunk ends.
std::optional<Failure> headerFault(RegularFile& file, std::uint64_t& riffEnd)
{
    switch (file.status()) {
    case RegularFile::Status::Open: break;
    case RegularFile::Status::Missing: return Failure::SoundFontMissing;
    case RegularFile::Status::Folder: return Failure::SoundFontIsFolder;
    case RegularFile::Status::NotAFile: return Failure::SoundFontNotAFile;
    case RegularFile::Status::Unreadable: return Failure::SoundFontUnreadable;
    }
    if (file.size() == 0)
        return Failure::SoundFontEmpty;
    std::array<unsigned char, 12> head{};
    if (!file.stream().read(reinterpret_cast<char*>(head.data()), head.size()) || !tagAt(head, 0, "RIFF")
        || !tagAt(head, 8, "sfbk"))
        return Failure::SoundFontNotASoundFont;
    riffEnd = kChunkHeaderSize + read32At(head, 4);
    if (riffEnd > file.size())
        return Failure::SoundFontTruncated;
    return std::nullopt;
}

// FluidSynth reads the three lists of a SoundFont in this order and refuses
// the whole file when one of them overruns it, or when its preset part is
// damaged. Anything after them it leaves alone.
std::optional<Failure> structureFault(std::istream& file, std::uint64_t riffEnd)
{
    std::uint64_t offset = 12;
    for (const std::string_view list : {"INFO", "sdta", "pdta"}) {
        std::array<unsigned char, 12> head{};
        if (offset + head.size() > riffEnd)
            return offset + kChunkHeaderSize > riffEnd ? Failure::SoundFontNotASoundFont : Failure::SoundFontTruncated;
        file.seekg(static_cast<std::streamoff>(offset));
        if (!file.read(reinterpret_cast<char*>(head.data()), head.size()))
            return Failure::SoundFontTruncated;
        if (!tagAt(head, 0, "LIST") || !tagAt(head, 8, list))
            return Failure::SoundFontNotASoundFont;
        const std::uint64_t size = read32At(head, 4);
        if (size < 4)
            return Failure::SoundFontNotASoundFont;
        if (offset + kChunkHeaderSize + size > riffEnd)
            return Failure::SoundFontTruncated;
        if (list == "pdta") {
            if (size - 4 > kLargestPresetData)
                return Failure::SoundFontNotASoundFont;
            std::vector<std::uint8_t> data(size - 4);
            if (!file.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size())))
                return Failure::SoundFontTruncated;
            if (!wellFormedPresetData(data))
                return Failure::SoundFontNotASoundFont;
        }
        offset += kChunkHeaderSize + size + (size & 1);
    }
    return std::nullopt;
}

bool looksLikeSoundFont(const std::filesystem::path& path)
{
    RegularFile file(path);
    std::uint64_t riffEnd = 0;
    return !headerFault(file, riffEnd);
}

}  // namespace

std::optional<Failure> soundFontFault(const std::filesystem::path& path)
{
    RegularFile file(path);
    std::uint64_t riffEnd = 0;
    if (const auto fault = headerFault(file, riffEnd))
        return fault;
    return structureFault(file.stream(), riffEnd);
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

std::optional<SoundFontSet> chosenSoundFonts(const std::vector<std::filesystem::path>& paths,
                                             std::vector<FailureReport>& problems)
{
    bool usable = !paths.empty();
    for (const auto& path : paths) {
        if (const std::optional<Failure> fault = soundFontFault(path)) {
            problems.push_back({*fault, path.string()});
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
