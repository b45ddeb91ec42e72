#pragma once

#include <string_view>

namespace padscope {

// The program's own fixed texts about itself. The version numbers here are
// captions only; nothing reads a version from anywhere else.

// Version label Label48 in the main window's status strip.
inline constexpr std::string_view kVersionLabelText = "Padscope version 1.1  (C) 2026 Padscope Project";

// The project's addresses, under a reserved example domain until it has
// real ones. The web link opens its own caption; the mail link opens a
// fixed target of its own, not one built from the caption.
inline constexpr std::string_view kWebAddress = "https://padscope.example.org/";
inline constexpr std::string_view kEmailAddress = "padscope@example.org";
inline constexpr std::string_view kEmailTarget = "mailto:padscope@example.org";

}  // namespace padscope
