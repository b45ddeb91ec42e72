#pragma once

#include "core/settings/file_system.h"
#include "core/settings/ini_file.h"
#include "core/settings/settings.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace padscope {

inline constexpr std::string_view kConfigFolderName = "Padscope";
inline constexpr std::string_view kConfigFileName = "padscope.ini";

// What decides where the settings file lives. The program takes the system's
// (systemSettingsLocation); tests put in their own folder and writability.
struct SettingsLocation {
    // The per-user configuration root (userConfigRoot), empty when there is none.
    std::filesystem::path configRoot;
    // Whether a new file can be created in the folder.
    std::function<bool(const std::filesystem::path& folder)> canCreateFilesIn;
};

SettingsLocation systemSettingsLocation();

// The executable's own path with the extension of its file name (from the
// last "." on) replaced by ".ini", or ".ini" appended when it has none.
std::filesystem::path portableSettingsPath(const std::filesystem::path& executable);

// The portable file beside the executable when it already exists, could be
// created there or there is no configuration root; otherwise padscope.ini in
// the Padscope folder of the configuration root. Creates nothing: saving
// creates that folder.
std::filesystem::path settingsPath(const std::filesystem::path& executable,
                                   const SettingsLocation& location);

// The settings file as read at start-up, written back at close.
struct SettingsFileCopy {
    IniFile file;
    // Something is at the path that could not be read whole: it is not a
    // regular file, cannot be read or is implausibly large. Saving over it
    // would lose it.
    bool unreadable = false;
};

// The file's contents; an empty copy when it is missing or unreadable.
// Never throws.
SettingsFileCopy readSettingsFile(const std::filesystem::path& path);
// The same, contents only.
IniFile loadSettingsFile(const std::filesystem::path& path);

// Writes the whole file to disk (see writeFileDurably). Returns false on failure.
bool saveSettingsFile(const std::filesystem::path& path, const IniFile& file);
// The same, first creating the Padscope folder of the configuration root
// when the file lives there.
bool saveSettingsFile(const std::filesystem::path& path, const IniFile& file,
                      const SettingsLocation& location);
// Writes `settings` into the copy and the copy to disk as above, unless the
// file was unreadable, which is left as it is. Returns false when nothing
// was saved.
bool saveSettings(SettingsFileCopy& copy, const Settings& settings, const std::filesystem::path& path,
                  const SettingsLocation& location);

}  // namespace padscope
