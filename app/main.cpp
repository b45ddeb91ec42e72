// Padscope: auditions the drum sounds of a GS or XG sound module.

#include "app/command_line.h"
#include "app/program.h"
#include "core/platform/standard_output.h"
#include "ui/failure_text.h"

#include <QApplication>

#include <csignal>
#include <cstdio>
#include <thread>

int main(int argc, char* argv[])
{
    // --help and --version answer before any window system is touched.
    const padscope::CommandLine commandLine =
        padscope::parseCommandLine(std::vector<std::string_view>(argv + 1, argv + argc));
    if (commandLine.showHelp || commandLine.showVersion) {
        // A reader that goes away makes a write error, as for any other failed write.
        std::signal(SIGPIPE, SIG_IGN);
        const std::string text = commandLine.showHelp ? padscope::helpText() : padscope::versionText();
        return padscope::writeStandardOutput("padscope", text);
    }
    std::fputs(commandLine.note.c_str(), stderr);

    // No MIDI or audio library may launch a JACK server on its own.
    qputenv("JACK_NO_START_SERVER", "1");
    // Listed while Qt starts.
    std::optional<padscope::SoundFontSet> soundFonts;
    if (!commandLine.soundFonts.empty()) {
        std::vector<padscope::FailureReport> problems;
        soundFonts = padscope::chosenSoundFonts({commandLine.soundFonts.begin(), commandLine.soundFonts.end()}, problems);
        for (const padscope::FailureReport& problem : problems)
            std::fprintf(stderr, "padscope: %s\n", padscope::terminalText(problem).c_str());
        if (!soundFonts)
            std::fputs("padscope: --soundfont is ignored; the built-in synth plays its usual SoundFonts\n", stderr);
    }
    std::unique_ptr<padscope::MidiOutput> outputs = padscope::startListingPorts(soundFonts);
    QApplication app(argc, argv);
    return padscope::runProgram({
        [](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); },
        false,
        {},
        std::move(outputs),
        std::move(soundFonts),
        commandLine.language,
    });
}
