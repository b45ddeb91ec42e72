#pragma once

#include "core/failure.h"

#include <QString>

#include <string>

namespace padscope {

// A failure as the user reads it in a window, in the interface's language:
// what went wrong, the file it concerns, the library's own words and what
// follows from it, each on a line of its own.
QString failureText(const FailureReport& failure);

// The same failure on a terminal, in English, for the command-line tools:
// "the SoundFont /a/b.sf2 cannot be used: it is empty". Control characters
// of the file name are shown escaped.
std::string terminalText(const FailureReport& failure);

}  // namespace padscope
