#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace padscope {

// What the command line asks for. Options the program does not know are
// ignored, so a desktop launcher's extra arguments change nothing.
struct CommandLine {
    bool showHelp = false;
    bool showVersion = false;
};

CommandLine parseCommandLine(const std::vector<std::string_view>& arguments);

// The texts printed for --help and --version.
std::string helpText();
std::string versionText();

}  // namespace padscope
