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

// The function `name` of the shared library at `path`, loaded from that very
// file once unloadableModuleReason() finds nothing against it: no other name
// for it (a "lib" prefix, no suffix) is tried. Nothing, and `error` says why,
// when it cannot be had. The library is never unloaded: the synth's threads
// run its code until the process ends.
void* moduleFunction(const std::string& path, const char* name, std::string& error);

}  // namespace padscope
