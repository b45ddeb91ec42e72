#pragma once

#include <string>
#include <string_view>

namespace padscope {

// `text` (a file name, say) safe to print on a terminal: each control
// character, C0, DEL or C1 in UTF-8, is written out as \xHH, so that a name
// holding ESC [2J or an OSC sequence cannot clear the screen or retitle it.
std::string terminalSafe(std::string_view text);

}  // namespace padscope
