#include "core/settings/settings_file.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <system_error>

namespace padscope {

namespace fs = std::filesystem;

namespace {

// The program's settings file is a few hundred bytes; anything this big is
// not one and is not worth reading into memory.
constexpr std::uintmax_t kMaxFileSize = 4 * 1024 * 1024;

// An installed program keeps its settings per user, even when root, who may
// write its folder, runs it: one in a shared program folder, or one installed
// with its desktop entry under any prefix (<prefix>/bin beside
// <prefix>/share/applications).
bool holdsInstalledPrograms(const fs::path& folder)
{
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(folder, error);
    for (const fs::path& shared : {fs::path(PADSCOPE_INSTALL_BINDIR), fs::path("/usr/bin"),
                                   fs::path("/usr/local/bin"), fs::path("/bin"), fs::path("/usr/games")}) {
        if (canonical == fs::weakly_canonical(shared, error))
            return true;
    }
    const fs::path desktopEntry =
        canonical.parent_path() / "share" / "applications" / (std::string(PADSCOPE_APP_ID) + ".desktop");
    return fs::exists(desktopEntry, error);
}

}  // namespace

SettingsLocation systemSettingsLocation()
{
    return SettingsLocation{userConfigRoot(), [](const fs::path& folder) {
                                return !holdsInstalledPrograms(folder) && folderAcceptsNewFiles(folder);
                            }};
}

fs::path portableSettingsPath(const fs::path& executable)
{
    std::string name = executable.filename().string();
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    name += ".ini";
    return executable.parent_path() / name;
}

fs::path settingsPath(const fs::path& executable, const SettingsLocation& location)
{
    const fs::path portable = portableSettingsPath(executable);
    std::error_code error;
    const bool portableExists = fs::exists(portable, error);
    const fs::path folder = portable.parent_path().empty() ? fs::path(".") : portable.parent_path();
    if (portableExists || location.configRoot.empty() ||
        (location.canCreateFilesIn && location.canCreateFilesIn(folder)))
        return portable;

    return location.configRoot / kConfigFolderName / kConfigFileName;
}

SettingsFileCopy readSettingsFile(const fs::path& path)
{
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found)
        return {};
    const SettingsFileCopy unreadable{{}, true};
    if (error || status.type() != fs::file_type::regular)
        return unreadable;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size > kMaxFileSize)
        return unreadable;

    std::ifstream in(path, std::ios::binary);
    if (!in)
        return unreadable;
    std::string text;
    text.reserve(static_cast<std::size_t>(size));
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    // A file that grew past the limit while it was read is not read whole.
    if (in.bad() || text.size() > kMaxFileSize)
        return unreadable;
    return {IniFile::parse(text), false};
}

IniFile loadSettingsFile(const fs::path& path)
{
    return readSettingsFile(path).file;
}

bool saveSettingsFile(const fs::path& path, const IniFile& file)
{
    return writeFileDurably(path, file.serialize());
}

bool saveSettingsFile(const fs::path& path, const IniFile& file, const SettingsLocation& location)
{
    const fs::path configFolder = location.configRoot / kConfigFolderName;
    if (!location.configRoot.empty() && path.parent_path() == configFolder) {
        // If this fails, saving fails too and says so.
        std::error_code error;
        fs::create_directories(configFolder, error);
    }
    return saveSettingsFile(path, file);
}

bool saveSettings(SettingsFileCopy& copy, const Settings& settings, const fs::path& path,
                  const SettingsLocation& location)
{
    if (copy.unreadable)
        return false;
    writeSettings(copy.file, settings);
    return saveSettingsFile(path, copy.file, location);
}

}  // namespace padscope
