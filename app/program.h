#pragma once

#include "core/midi/midi_output.h"
#include "core/synth/sound_fonts.h"
#include "ui/interface_language.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace padscope {

struct ProgramOptions {
    // How the GS Reset waits are spent; a real sleep in the program.
    std::function<void(std::chrono::milliseconds)> sleep;
    // Leave the event loop as soon as the main window is first shown
    // (for start-up measurements).
    bool quitWhenShown = false;
    // Called once the main window is first shown (for start-up measurements).
    std::function<void()> shown;
    // What startListingPorts() returned; without it the listing starts here.
    std::unique_ptr<MidiOutput> outputs;
    // The SoundFonts given on the command line, which outrank the one chosen
    // in the menu before.
    std::optional<SoundFontSet> soundFonts;
    // The language asked for on the command line; without it, the one chosen
    // in the window before, else the desktop's.
    std::optional<Language> language;
};

// The program's outputs, the built-in synth's port first and then the
// platform's ports, listed on threads of their own from this call on; the
// first use waits for them. A JACK client takes tens of milliseconds to join
// its server, so the earlier this comes, the less the start-up waits.
// FluidSynth is loaded only when the synth's port opens.
// The built-in synth plays `soundFonts` where given, else the standard ones.
std::unique_ptr<MidiOutput> startListingPorts(const std::optional<SoundFontSet>& soundFonts = std::nullopt);

// The SoundFonts the built-in synth plays from the start: those given on
// the command line, else the one chosen in the menu before while it can be
// read, else the distribution's.
std::optional<SoundFontSet> pickSoundFonts(const std::optional<SoundFontSet>& commandLine,
                                           const std::string& remembered);

// Start-up, the event loop and shut-down of the whole program. Needs a
// QApplication.
int runProgram(ProgramOptions options);

}  // namespace padscope
