#pragma once

#include "ini_file.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace padscope {

// Shown when the settings cannot be written, followed by the file's path
// (see saveFailedText).
inline constexpr std::string_view kSaveFailedMessage = "設定ファイルを保存できません";

inline constexpr std::string_view kConfigFolderName = "Padscope";
inline constexpr std::string_view kConfigFileName = "padscope.ini";

// What decides where the settings file lives. The program takes the system's
// (systemSettingsLocation); tests put in their own folder and writability.
struct SettingsLocation {
    // The per-user configuration root, $XDG_CONFIG_HOME (~/.config) on Linux.
    std::filesystem::path configRoot;
    // Whether a new file can be created in the folder.
    std::function<bool(const std::filesystem::path& folder)> canCreateFilesIn;
};

SettingsLocation systemSettingsLocation();
bool folderAcceptsNewFiles(const std::filesystem::path& folder);

// The executable's own path with the extension of its file name (from the
// last "." on) replaced by ".ini", or ".ini" appended when it has none.
std::filesystem::path portableSettingsPath(const std::filesystem::path& executable);

// The portable file beside the executable when it already exists or could be
// created there; otherwise padscope.ini in the Padscope folder of the
// configuration root, which is created when missing.
std::filesystem::path settingsPath(const std::filesystem::path& executable,
                                   const SettingsLocation& location);
std::filesystem::path settingsPath(const std::filesystem::path& executable);

// The file's contents, or an empty copy when it is missing, is not a regular
// file, cannot be read or is implausibly large. Never throws.
IniFile loadSettingsFile(const std::filesystem::path& path);

// Writes the whole file through a temporary file in the same folder that is
// flushed to disk and then renamed over the old one, so a failure at any
// point leaves the old file as it was. Returns false on failure.
bool saveSettingsFile(const std::filesystem::path& path, const IniFile& file);

// kSaveFailedMessage, a line break and the path.
std::string saveFailedText(const std::filesystem::path& path);

}  // namespace padscope
