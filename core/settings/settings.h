#pragma once

#include "core/settings/drum_edits.h"
#include "core/settings/ini_file.h"
#include "catalogue/kits.h"

#include <string>
#include <string_view>

namespace padscope {

// What the program remembers between runs.
struct Settings {
    int height = 636;
    int width = 810;
    int top = 159;
    int left = 193;
    int deviceIndex = 0;  // "num": the output port to open
    int map = kDefaultMap;  // "bank": 0 TG-300B(XG) .. 4 SC-8850
    std::string deviceName = "none";  // "gakki": product name of that port
    std::string inputName;  // "port" of "input": the input port watched, empty for none
    bool thru = false;      // "thru" of "input": what arrives goes on to the output
    std::string soundFont;  // "soundfont" of "synth": the built-in synth's font, empty for the usual ones
    std::string language;   // "language" of "gen": "ja" or "en" as chosen in the window, empty for the desktop's
    DrumEdits drumEdits;    // "drumsound": per map and kit, "<map>.<program>=<edits>"

    bool operator==(const Settings&) const = default;
};

inline constexpr std::string_view kWindowSection = "window";
inline constexpr std::string_view kDeviceSection = "dev";
inline constexpr std::string_view kGeneralSection = "gen";
inline constexpr std::string_view kInputSection = "input";
inline constexpr std::string_view kSynthSection = "synth";
inline constexpr std::string_view kDrumSoundSection = "drumsound";

// Reads height, width, top, left, num, bank and gakki in that order, then
// the input's port and thru, the synth's SoundFont and the language; a
// missing or unreadable value takes its default, and so does a map that
// names none of the drum maps.
Settings readSettings(const IniFile& file);

// Writes Height, Width, Top, Left, num, bank and gakki in that order, each in
// place if the file already holds it. The section "input" (port, thru) is
// written only once it differs from none and off or the file has it, so that
// a file of a program without an input stays as it is; the section "synth"
// (soundfont) likewise once a SoundFont has been chosen, the language
// of "gen" once one has been chosen in the window, and "drumsound"
// once a drum sound has been edited; a kit reset since keeps an empty value.
void writeSettings(IniFile& file, const Settings& settings);

}  // namespace padscope
