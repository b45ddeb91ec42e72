#pragma once

#include <string_view>

namespace padscope {

// The program's own fixed texts about itself. The version numbers here are
// captions only; nothing reads a version from anywhere else.

// Version label Label48 in the main window's status strip.
inline constexpr std::string_view kVersionLabelText = "Padscope version 1.1  (C) 2026 Padscope Project";

}  // namespace padscope
