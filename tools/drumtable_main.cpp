// padscope-drumtable: prints the compiled-in drum name table, one
// "program<TAB>note<TAB>map<TAB>name" line per assigned entry, or exports it
// as note names for sequencers (MIDNAM, REAPER, Cakewalk .ins).

#include "tools/drum_sound_edits.h"
#include "tools/output_file.h"
#include "tools/synth_kits.h"
#include "core/platform/standard_output.h"
#include "core/platform/terminal_text.h"
#include "catalogue/drum_names.h"
#include "catalogue/export/instrument_definitions.h"
#include "catalogue/export/kit_selection.h"
#include "catalogue/export/midnam.h"
#include "catalogue/export/reaper.h"
#include "catalogue/sound_finder.h"

#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace padscope;
namespace fs = std::filesystem;

constexpr std::string_view kHelp =
    R"(Usage: padscope-drumtable [OPTION]...
Print Padscope's compiled-in drum name table, or export it as drum note names
for a sequencer's piano roll.

Options:
  -f, --format FORMAT  what to write (default: table):
                         table   one "program<TAB>note<TAB>map<TAB>name" line
                                 per note of every kit that a map holds, by
                                 program, then map, then note; program and map
                                 counted from 0, names exactly as stored
                         midnam  one MIDI Name Document (.midnam) for Ardour
                                 and other sequencers: on channel 10, a patch
                                 bank per map (Bank Select MSB 0, LSB = map
                                 number), a patch per kit, a note-name list
                                 per kit
                         reaper  REAPER note-name files, one per kit
                         ins     one Cakewalk/SONAR instrument definition
                                 file (.ins): a patch-name list per map and a
                                 note-name list per kit
  -m, --map MAP        only the kits of one drum map: sc8850, sc88pro, sc88,
                       sc55 or tg300b (default: all five maps)
  -k, --kit KIT        only one kit, given by its program number as Padscope's
                       window shows it (1-128) or by its kit button's caption,
                       for example 26 or "TR-808" (default: every kit)
  -o, --output PATH    write to the file PATH instead of standard output.
                       With --format reaper, PATH is a folder (created if
                       need be) that receives one file per kit, named like
                       sc8850-026-tr-808.txt; standard output is used only
                       when --map and --kit leave a single kit
  -F, --find TEXT      print only the table lines of the sounds whose name
                       holds TEXT, ignoring case, blanks and hyphens ("tr909"
                       finds "TR-909") and the [55], [88] and [Pro] marks
                       unless TEXT has a "["; only kits in the maps whose kit
                       buttons offer them, no "Nothing". Takes only --map and
                       --output; exit status 1 when nothing matches, and
                       then no file is written
  -s, --synth-kits     print, for each of the 38 kit buttons, what Padscope's
                       built-in synth plays: "own" where the SoundFont has
                       the kit, else the kit that stands in for it; then the
                       SoundFont's name for that kit
  -S, --soundfont FILE with --synth-kits, judge this SoundFont (SF2 or SF3)
                       instead of the ones the synth finds itself; give it
                       more than once to lay later fonts over the first
  -e, --edits          print the set-up of the drum sounds edited in
                       Padscope's "ドラム音" page, as its settings file keeps
                       them: for each edited kit a "#" line naming it, then
                       one MIDI message a line in hex (GS Reset, map, kit,
                       the controller page's start values, each edited
                       note's NRPN messages and NRPN null). Takes --map,
                       --kit and --settings; exit status 1 when there are
                       no edits
      --settings FILE  with --edits, read this settings file instead of the
                       one padscope beside this program uses
  -h, --help           print this help and exit
  -v, --version        print the program's name and version and exit

Only the kits that a map holds are written; a kit the chosen map lacks is an
error. In the midnam, reaper and ins formats notes without a sound
("Nothing") are left out, names lose their trailing blanks where the format
cannot keep them (reaper, ins), and "&", "<", ">" and quotes are escaped in
midnam; the table format is unchanged by these options except for the
choice of kits.

A file given with --output is replaced only once it has been written whole;
when it cannot be, the old file stays as it was.

Exit status: 0 on success, 1 if the output cannot be written or a SoundFont
cannot be read, 2 on a usage error.

Examples:
  padscope-drumtable --format midnam --map sc8850 --output SC-8850.midnam
  padscope-drumtable --format reaper --output reaper-note-names
  padscope-drumtable --format reaper --map sc55 --kit 26 > sc55-tr-808.txt
  padscope-drumtable --format ins --output padscope-drums.ins
  padscope-drumtable --synth-kits --soundfont MuseScore_General.sf3
)";

enum class Format { Table, Midnam, Reaper, Ins };

struct Options {
    Format format = Format::Table;
    KitSelection selection;
    std::optional<std::string> output;
    std::optional<std::string> find;
    bool synthKits = false;
    bool edits = false;
    std::optional<std::string> settings;
    std::vector<fs::path> soundFonts;
    bool help = false;
    bool version = false;
};

struct UsageError {
    std::string message;
};

std::optional<Format> formatFromName(std::string_view name)
{
    if (name == "table")
        return Format::Table;
    if (name == "midnam")
        return Format::Midnam;
    if (name == "reaper")
        return Format::Reaper;
    if (name == "ins")
        return Format::Ins;
    return std::nullopt;
}

Options parseOptions(int argc, char** argv)
{
    Options options;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (optionsEnded || !arg.starts_with('-'))
            throw UsageError{"unexpected argument \"" + std::string(arg) + "\""};
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            continue;
        }
        if (arg == "-v" || arg == "--version") {
            options.version = true;
            continue;
        }
        if (arg == "-e" || arg == "--edits") {
            options.edits = true;
            continue;
        }
        if (arg == "-s" || arg == "--synth-kits") {
            options.synthKits = true;
            continue;
        }
        // "--name=value" or "--name value" / "-n value".
        std::string_view name = arg;
        std::optional<std::string_view> value;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        const auto takeValue = [&]() -> std::string_view {
            if (value)
                return *value;
            if (i + 1 >= argc)
                throw UsageError{"option " + std::string(name) + " needs a value"};
            return argv[++i];
        };
        if (name == "-f" || name == "--format") {
            const auto text = takeValue();
            const auto format = formatFromName(text);
            if (!format)
                throw UsageError{"unknown format \"" + std::string(text) + "\" (use table, midnam, reaper or ins)"};
            options.format = *format;
        } else if (name == "-m" || name == "--map") {
            const auto text = takeValue();
            options.selection.map = mapFromKey(text);
            if (!options.selection.map)
                throw UsageError{"unknown map \"" + std::string(text) + "\" (use sc8850, sc88pro, sc88, sc55 or tg300b)"};
        } else if (name == "-k" || name == "--kit") {
            const auto text = takeValue();
            options.selection.program = programFromKit(text);
            if (!options.selection.program)
                throw UsageError{"unknown kit \"" + std::string(text) + "\" (use a program number 1-128 or a kit button's caption)"};
        } else if (name == "-o" || name == "--output") {
            const auto text = takeValue();
            if (text.empty())
                throw UsageError{"option " + std::string(name) + " needs a non-empty path"};
            options.output = std::string(text);
        } else if (name == "-S" || name == "--soundfont") {
            const auto text = takeValue();
            if (text.empty())
                throw UsageError{"option " + std::string(name) + " needs a non-empty path"};
            options.soundFonts.emplace_back(text);
        } else if (name == "--settings") {
            const auto text = takeValue();
            if (text.empty())
                throw UsageError{"option " + std::string(name) + " needs a non-empty path"};
            options.settings = std::string(text);
        } else if (name == "-F" || name == "--find") {
            options.find = std::string(takeValue());
        } else {
            throw UsageError{"unknown option \"" + std::string(arg) + "\""};
        }
    }
    return options;
}

// What the selection lacks, said plainly, or nothing when it picks kits.
std::optional<std::string> emptySelectionMessage(const KitSelection& selection)
{
    if (!selection.program)
        return std::nullopt;
    std::string kit = "kit " + std::to_string(*selection.program + 1) + " (" + kitTitle(*selection.program) + ")";
    if (selection.map)
        return kit + " is not in the " + std::string(mapTitle(*selection.map)) + " map";
    return kit + " is in no map";
}

void writeTable(std::ostream& out, const std::vector<KitRef>& kits)
{
    for (const auto& kit : kits)
        for (int note = 0; note < kNoteCount; ++note)
            out << kit.program << '\t' << note << '\t' << kit.map << '\t' << drumName(kit.program, note, kit.map) << '\n';
}

void writeFormat(std::ostream& out, Format format, const std::vector<KitRef>& kits)
{
    switch (format) {
    case Format::Table: writeTable(out, kits); break;
    case Format::Midnam: writeMidnam(out, kits); break;
    case Format::Ins: writeInstrumentDefinitions(out, kits); break;
    case Format::Reaper: writeReaperNoteNames(out, kits.front()); break;
    }
}

bool reportedWriteError(std::string_view what, int error)
{
    if (error)
        std::cerr << "padscope-drumtable: cannot write " << what << ": " << std::strerror(error) << '\n';
    return error != 0;
}

bool writeFile(const fs::path& path, const std::string& text)
{
    return !reportedWriteError(terminalSafe(path.string()), replaceFile(path, text));
}

int writeStandardOutput(std::string_view text)
{
    return padscope::writeStandardOutput("padscope-drumtable", text);
}

bool writeReaperFolder(const fs::path& folder, const std::vector<KitRef>& kits)
{
    std::error_code error;
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder)) {
        std::cerr << "padscope-drumtable: cannot make the folder " << terminalSafe(folder.string()) << ": "
                  << (error ? error.message() : "a file of that name is in the way") << '\n';
        return false;
    }
    for (const auto& kit : kits) {
        std::ostringstream text;
        writeReaperNoteNames(text, kit);
        if (!writeFile(folder / reaperFileName(kit), text.str()))
            return false;
    }
    return true;
}

int run(const Options& options, const char* executable)
{
    if (options.settings && !options.edits) {
        std::cerr << "padscope-drumtable: --settings goes with --edits\n";
        return 2;
    }
    if (options.edits) {
        if (options.synthKits || options.find || options.format != Format::Table || options.output) {
            std::cerr << "padscope-drumtable: --edits takes only --map, --kit and --settings\n";
            return 2;
        }
        std::error_code noLink;
        fs::path self = fs::read_symlink("/proc/self/exe", noLink);
        if (noLink)
            self = executable;
        const fs::path file = options.settings ? fs::path(*options.settings) : programSettingsPath(self);
        std::ostringstream text;
        if (writeDrumSoundSetUps(text, file, options.selection) == 0) {
            std::cerr << "padscope-drumtable: no drum sound edits in " << file.string() << '\n';
            return 1;
        }
        return writeStandardOutput(text.str());
    }
    if (!options.soundFonts.empty() && !options.synthKits) {
        std::cerr << "padscope-drumtable: --soundfont goes with --synth-kits\n";
        return 2;
    }
    if (options.synthKits) {
        if (options.find || options.format != Format::Table || options.selection.program || options.selection.map
            || options.output) {
            std::cerr << "padscope-drumtable: --synth-kits takes only --soundfont\n";
            return 2;
        }
        std::ostringstream text;
        if (!writeSynthKits(text, std::cerr, options.soundFonts))
            return 1;
        return writeStandardOutput(text.str());
    }
    if (options.find) {
        if (options.format != Format::Table || options.selection.program) {
            std::cerr << "padscope-drumtable: --find takes no --format or --kit\n";
            return 2;
        }
        std::ostringstream found;
        if (writeFoundSounds(found, *options.find, options.selection.map) == 0)
            return 1;
        if (options.output)
            return writeFile(*options.output, found.str()) ? 0 : 1;
        return writeStandardOutput(found.str());
    }
    const auto kits = selectKits(options.selection);
    if (kits.empty()) {
        std::cerr << "padscope-drumtable: " << emptySelectionMessage(options.selection).value_or("no kits to write") << '\n';
        return 2;
    }
    if (options.format == Format::Reaper) {
        if (options.output)
            return writeReaperFolder(*options.output, kits) ? 0 : 1;
        if (kits.size() > 1) {
            std::cerr << "padscope-drumtable: --format reaper writes one file per kit; give a folder with --output, "
                         "or one kit with --map and --kit\n";
            return 2;
        }
    }
    std::ostringstream text;
    writeFormat(text, options.format, kits);
    if (options.output)
        return writeFile(*options.output, text.str()) ? 0 : 1;
    return writeStandardOutput(text.str());
}

}  // namespace

int main(int argc, char** argv)
{
    // A reader that goes away (a pipe into head) makes a write error, not a
    // silent death.
    std::signal(SIGPIPE, SIG_IGN);
    Options options;
    try {
        options = parseOptions(argc, argv);
    } catch (const UsageError& error) {
        std::cerr << "padscope-drumtable: " << terminalSafe(error.message) << "\nTry 'padscope-drumtable --help'.\n";
        return 2;
    }
    if (options.help)
        return writeStandardOutput(kHelp);
    if (options.version)
        return writeStandardOutput("padscope-drumtable " PADSCOPE_VERSION "\n");
    return run(options, argv[0]);
}
