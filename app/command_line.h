#pragma once

#include "ui/interface_language.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace padscope {

// What the command line asks for. Options the program does not know are
// ignored, so a desktop launcher's extra arguments change nothing.
struct CommandLine {
    bool showHelp = false;
    bool showVersion = false;
    // --language en|ja; nothing when not given, or not known.
    std::optional<Language> language;
    // --soundfont FILE, as often as given: the built-in synth's fonts, the
    // first the base and the others laid over it.
    std::vector<std::string> soundFonts;
    // Lines for stderr: a language that is not known, a --soundfont without
    // a file; else empty.
    std::string note;
};

CommandLine parseCommandLine(const std::vector<std::string_view>& arguments);

// The texts printed for --help and --version.
std::string helpText();
std::string versionText();

}  // namespace padscope
