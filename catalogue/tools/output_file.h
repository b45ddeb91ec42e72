#pragma once

#include <filesystem>
#include <string_view>

namespace padscope {

// Makes `path` hold `text`: written to a temporary file beside it, which
// replaces the file only once every byte is written, so a full disk or a cut
// write leaves the old file as it was. A symbolic link keeps pointing at the
// file it names; a device or a FIFO is written in place. 0, or the errno of
// the step that failed.
int replaceFile(const std::filesystem::path& path, std::string_view text);

}  // namespace padscope
