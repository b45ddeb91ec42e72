#include "app/command_line.h"

#include "app/version.h"

#include <string>

namespace padscope {

namespace {

constexpr std::string_view kLanguageOption = "--language";
constexpr std::string_view kSoundFontOption = "--soundfont";

void chooseLanguage(CommandLine& line, std::string_view code)
{
    if (const std::optional<Language> language = languageFromCode(code)) {
        line.language = *language;
        line.note.clear();
        return;
    }
    line.language.reset();
    line.note = code.empty() ? std::string("padscope: --language needs en or ja; ignored\n")
                             : "padscope: unknown language \"" + std::string(code) + "\" (en or ja); ignored\n";
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string_view>& arguments)
{
    CommandLine line;
    bool soundFontMissing = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            line.showHelp = true;
        } else if (argument == "--version" || argument == "-v") {
            line.showVersion = true;
        } else if (argument == kLanguageOption) {
            // The next argument is the code, unless it is an option itself.
            if (i + 1 < arguments.size() && !arguments[i + 1].starts_with('-'))
                chooseLanguage(line, arguments[++i]);
            else
                chooseLanguage(line, {});
        } else if (argument.starts_with(kLanguageOption) && argument[kLanguageOption.size()] == '=') {
            chooseLanguage(line, argument.substr(kLanguageOption.size() + 1));
        } else if (argument == kSoundFontOption || argument.starts_with(std::string(kSoundFontOption) + "=")) {
            std::string_view file;
            if (argument != kSoundFontOption)
                file = argument.substr(kSoundFontOption.size() + 1);
            else if (i + 1 < arguments.size() && !arguments[i + 1].starts_with('-'))
                file = arguments[++i];
            if (file.empty())
                soundFontMissing = true;
            else
                line.soundFonts.emplace_back(file);
        }
    }
    if (soundFontMissing)
        line.note += "padscope: --soundfont needs a file\n";
    return line;
}

std::string helpText()
{
    return "Usage: padscope [--language en|ja] [--soundfont FILE]... [--help] [--version]\n"
           "\n"
           "Auditions the drum sounds of a GS or XG MIDI sound module: pick a kit and a\n"
           "drum map, then press the pads (mouse or keyboard) to play them on channel 10.\n"
           "\n"
           "  --language en|ja  English or Japanese captions and messages (default:\n"
           "                 the one chosen in the program, else the desktop's:\n"
           "                 Japanese for a Japanese, C or POSIX locale, else English)\n"
           "  --soundfont FILE  the built-in synth plays this SoundFont (SF2 or SF3)\n"
           "                 instead of the standard ones; given again, a later font\n"
           "                 is laid over the first\n"
           "  -h, --help     print this help and exit\n"
           "  -v, --version  print the version and exit\n"
           "\n"
           "Settings: an installed program keeps them in\n"
           "$XDG_CONFIG_HOME/Padscope/padscope.ini (~/.config/Padscope/padscope.ini when\n"
           "XDG_CONFIG_HOME is unset). padscope.ini beside the program is used instead\n"
           "when it exists, or when the program is not installed and may write its own\n"
           "folder (a build folder).\n"
           "Library messages: QT_LOGGING_RULES=\"padscope.*=true\" padscope\n"
           "In the window, F1 opens the user's manual, also installed under\n"
           "/usr/share/doc/padscope/manual/.\n";
}

std::string versionText()
{
    return "padscope " + std::string(programVersion()) + "\n";
}

}  // namespace padscope
