#pragma once

#include <string_view>

namespace padscope {

// The program's version, from the project's; defined in a file generated at
// configure time, so that a new version rebuilds only that file.
std::string_view programVersion();

}  // namespace padscope
