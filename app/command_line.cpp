#include "command_line.h"

namespace padscope {

CommandLine parseCommandLine(const std::vector<std::string_view>& arguments)
{
    CommandLine line;
    for (std::string_view argument : arguments) {
        if (argument == "--help" || argument == "-h")
            line.showHelp = true;
        else if (argument == "--version" || argument == "-v")
            line.showVersion = true;
    }
    return line;
}

std::string helpText()
{
    return "Usage: padscope [--help] [--version]\n"
           "\n"
           "Auditions the drum sounds of a GS or XG MIDI sound module: pick a kit and a\n"
           "drum map, then press the pads (mouse or keyboard) to play them on channel 10.\n"
           "\n"
           "  -h, --help     print this help and exit\n"
           "  -v, --version  print the version and exit\n"
           "\n"
           "Settings are kept in padscope.ini beside the program when that folder is\n"
           "writable, otherwise in $XDG_CONFIG_HOME/Padscope/padscope.ini.\n"
           "Library messages: QT_LOGGING_RULES=\"padscope.*=true\" padscope\n";
}

std::string versionText()
{
    return "padscope " PADSCOPE_VERSION "\n";
}

}  // namespace padscope
