#pragma once

#include <filesystem>
#include <string_view>

namespace padscope {

// Makes `path` hold `text`: written to a temporary file beside it, which
// replaces the file only once every byte is written, so a full disk or a cut
// write leaves the old file as it was. A symbolic link keeps pointing at the
// file it names, which is made if it is missing; a device or a FIFO is
// written in place. A read-only file or a loop of links is refused, as a
// shell's ">" refuses them. 0, or the errno of the step that failed.
int replaceFile(const std::filesystem::path& path, std::string_view text);

}  // namespace padscope
