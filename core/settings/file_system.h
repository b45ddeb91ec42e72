#pragma once

#include <filesystem>
#include <string_view>

// The settings file's calls into the operating system, kept together so that
// another platform needs only its own version of this file's functions.
namespace padscope {

// The per-user configuration root: $XDG_CONFIG_HOME, else $HOME/.config. An
// empty path when neither is set to an absolute path, as there is then no
// per-user folder at all.
std::filesystem::path userConfigRoot();

// Whether a new file can be created in the folder.
bool folderAcceptsNewFiles(const std::filesystem::path& folder);

// Makes `bytes` the file's whole contents, through a symbolic link to its
// target. A new file is written beside the old one, flushed to disk and
// renamed over it, so a failure leaves the old file as it was; it keeps the
// old file's permission bits and, where the saver may keep it, its owner.
// Where the folder takes no new files, a file the user may write is
// rewritten in place. A file the user may not write is left alone, and so is
// anything that is not a regular file (a device, a FIFO). Left-over
// temporary files of saves that never finished are removed first. Returns
// false on any failure, a write beyond the process's file-size limit among
// them.
bool writeFileDurably(const std::filesystem::path& path, std::string_view bytes);

}  // namespace padscope
