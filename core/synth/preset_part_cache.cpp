#include "core/synth/preset_part_cache.h"

#include "core/platform/regular_file.h"

#include <atomic>
#include <system_error>

namespace padscope {

std::shared_ptr<const PresetPart> PresetPartCache::get(const std::filesystem::path& path)
{
    // The version is taken before the read: a file changed during it is
    // read again next time.
    std::error_code error;
    const Version version{std::filesystem::file_size(path, error),
                          error ? std::filesystem::file_time_type() : std::filesystem::last_write_time(path, error)};
    const bool known = !error;

    const std::lock_guard lock(mutex_);
    const auto cached = entries_.find(path.string());
    if (known && cached != entries_.end() && cached->second.version == version)
        return cached->second.part;
    ++reads_;
    RegularFile in(path);
    auto read = lastPresetPart(in.stream());
    auto part = read ? std::make_shared<const PresetPart>(std::move(*read)) : nullptr;
    if (known)
        entries_[path.string()] = {version, part};
    else if (cached != entries_.end())
        entries_.erase(cached);
    return part;
}

std::size_t PresetPartCache::reads() const
{
    const std::lock_guard lock(mutex_);
    return reads_;
}

namespace {

std::atomic<PresetPartCache*> sharedParts{nullptr};

}  // namespace

PresetPartCache& presetParts()
{
    if (PresetPartCache* shared = sharedParts.load(std::memory_order_acquire))
        return *shared;
    static auto& cache = *new PresetPartCache;
    return cache;
}

void sharePresetParts(PresetPartCache& parts)
{
    sharedParts.store(&parts, std::memory_order_release);
}

}  // namespace padscope
