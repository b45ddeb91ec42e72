#pragma once

#include "core/synth/preset_part.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace padscope {

// The preset parts of SoundFont files, each read once per version of its
// file (its size and modification time). The kit plan, the synth's layers
// and its drum-only loader ask for the same files in turn, from the
// window's thread and the synth's; a font replaced meanwhile (an upgrade)
// is read again.
class PresetPartCache {
public:
    // The file's last preset part (see lastPresetPart); nullptr when it has none.
    std::shared_ptr<const PresetPart> get(const std::filesystem::path& path);
    // How many times a file was read so far.
    std::size_t reads() const;

private:
    struct Version {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified;
        bool operator==(const Version&) const = default;
    };
    struct Entry {
        Version version;
        std::shared_ptr<const PresetPart> part;
    };

    mutable std::mutex mutex_;
    std::map<std::string, Entry> entries_;
    std::size_t reads_ = 0;
};

// The process's one. Never destroyed: a port's worker may still be loading
// while the process exits.
PresetPartCache& presetParts();
// The synth module, loaded at run time with a copy of this code of its own,
// is handed the program's, so that a file is read once in the process.
void sharePresetParts(PresetPartCache& parts);

}  // namespace padscope
