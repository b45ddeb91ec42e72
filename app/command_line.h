#pragma once

#include "interface_language.h"

#include <string>
#include <string_view>
#include <vector>

namespace padscope {

// What the command line asks for. Options the program does not know are
// ignored, so a desktop launcher's extra arguments change nothing.
struct CommandLine {
    bool showHelp = false;
    bool showVersion = false;
    // --language en|ja; Japanese unless English is asked for.
    Language language = Language::Japanese;
    // One line for stderr when the language asked for is not known; else empty.
    std::string note;
};

CommandLine parseCommandLine(const std::vector<std::string_view>& arguments);

// The texts printed for --help and --version.
std::string helpText();
std::string versionText();

}  // namespace padscope
