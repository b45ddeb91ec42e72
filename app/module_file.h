#pragma once

#include <string>

namespace padscope {

// Why the shared library at `path` must not be handed to the dynamic loader,
// or nothing (an empty text) when it may be: a file that is not regular (the
// loader would wait forever on a FIFO), or an ELF file too short for its
// program headers and the segments they map (the loader would crash on the
// missing pages of a cut file). A missing file is left to the loader to
// report.
std::string unloadableModuleReason(const std::string& path);

}  // namespace padscope
