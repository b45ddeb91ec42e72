// Checks the compiled-in drum name table against the figures the sound modules'
// drum-set lists give: STANDARD 1 in full, the shape of every kit, notes 36 and 38
// of every kit, per-map counts, tags, the kits that share entries, the character
// set, and the kit buttons that each map enables.

#include "catalogue/drum_names.h"
#include "catalogue/kits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace padscope {
namespace {

constexpr std::string_view kNothing = "Nothing";
constexpr std::array<std::string_view, kMapCount> kMapNames{"TG-300B(XG)", "SC-55", "SC-88", "SC-88Pro", "SC-8850"};

// One or more notes of STANDARD 1; a single name stands for all five maps.
struct Standard1Row {
    int first, last;
    std::array<std::string_view, kMapCount> names;
};

// First and last note that is not "Nothing", and how many notes are not "Nothing".
struct KitShape {
    int first, last, sounding;
};
constexpr KitShape kAbsent{-1, -1, 0};

struct KitShapeRow {
    int program;
    std::array<KitShape, kMapCount> maps;
};

struct KickSnareRow {
    int program, map;
    std::string_view note36, note38;
};

// clang-format off
constexpr Standard1Row kStandard1[] = {
    {0, 0, {"Nothing", "Nothing", "Nothing", "[88] Standard 1 Kick 1", "[88] Standard 1 Kick 1"}},
    {1, 1, {"Nothing", "Nothing", "Nothing", "[88] Standard 1 Kick 2", "[88] Standard 1 Kick 2"}},
    {2, 2, {"Nothing", "Nothing", "Nothing", "[88] Standard 2 Kick 1", "[88] Standard 2 Kick 1"}},
    {3, 3, {"Nothing", "Nothing", "Nothing", "[88] Standard 2 Kick 2", "[88] Standard 2 Kick 2"}},
    {4, 4, {"Nothing", "Nothing", "Nothing", "[55] Kick Drum 1", "[55] Kick Drum 1"}},
    {5, 5, {"Nothing", "Nothing", "Nothing", "[55] Kick Drum 2", "[55] Kick Drum 2"}},
    {6, 6, {"Nothing", "Nothing", "Nothing", "[88] Jazz Kick 1", "[88] Jazz Kick 1"}},
    {7, 7, {"Nothing", "Nothing", "Nothing", "[88] Jazz Kick 2", "[88] Jazz Kick 2"}},
    {8, 8, {"Nothing", "Nothing", "Nothing", "[88] Room Kick 1", "[88] Room Kick 1"}},
    {9, 9, {"Nothing", "Nothing", "Nothing", "[88] Room Kick 2", "[88] Room Kick 2"}},
    {10, 10, {"Nothing", "Nothing", "Nothing", "[88] Power Kick 1", "[88] Power Kick 1"}},
    {11, 11, {"Nothing", "Nothing", "Nothing", "[88] Power Kick 2", "[88] Power Kick 2"}},
    {12, 12, {"Nothing", "Nothing", "Nothing", "[88] Electric Kick 2", "[88] Electric Kick 2"}},
    {13, 13, {"Nothing", "Nothing", "Nothing", "[88] Electric Kick 1", "[88] Electric Kick 1"}},
    {14, 14, {"Nothing", "Nothing", "Nothing", "[88] TR-808 Kick", "[88] TR-808 Kick"}},
    {15, 15, {"Nothing", "Nothing", "Nothing", "[88] TR-909 Kick", "[88] TR-909 Kick"}},
    {16, 16, {"Nothing", "Nothing", "Nothing", "[88] Dance Kick", "[88] Dance Kick"}},
    {17, 17, {"Nothing", "Nothing", "Nothing", "Voice One", "[Pro] Voice One"}},
    {18, 18, {"Nothing", "Nothing", "Nothing", "Voice Two", "[Pro] Voice Two"}},
    {19, 19, {"Nothing", "Nothing", "Nothing", "Voice Three", "[Pro] Voice Three"}},
    {20, 20, {"Nothing", "Nothing", "Nothing", "Room Kick 2", "Room Kick 2"}},
    {21, 21, {"Nothing", "Nothing", "Nothing", "Room Kick 1", "Room Kick 1"}},
    {22, 22, {"Nothing", "Nothing", "Nothing", "MC-500 Beep 1", "MC-500 Beep 1"}},
    {23, 23, {"Nothing", "Nothing", "Nothing", "MC-500 Beep 2", "MC-500 Beep 2"}},
    {24, 24, {"Nothing", "Nothing", "Nothing", "Consert BD", "Consert BD"}},
    {25, 25, {"Snare Roll", "Nothing", "Snare Roll", "Snare Roll", "Snare Roll"}},
    {26, 26, {"Finger Snap 2", "Nothing", "Finger Snap 2", "Finger Snap 2", "Finger Snap 2"}},
    {27, 27, {"High Q"}},
    {28, 28, {"Slap"}},
    {29, 29, {"Scratch Push"}},
    {30, 30, {"Scratch Pull"}},
    {31, 31, {"Sticks"}},
    {32, 32, {"Square Click"}},
    {33, 33, {"Metronome Click"}},
    {34, 34, {"Metronome Bell"}},
    {35, 35, {"Standard 1 Kick 2", "Kick Drum 2", "Standard 1 Kick 2", "Standard 1 Kick 2", "Standard 1 Kick 2"}},
    {36, 36, {"Standard 1 Kick 1", "Kick Drum 1", "Standard 1 Kick 1", "Standard 1 Kick 1", "Standard 1 Kick 1"}},
    {37, 37, {"Side Stick"}},
    {38, 38, {"Standard 1 Snare 1", "Snare Drum 1", "Standard 1 Snare 1", "Standard 1 Snare 1", "Standard 1 Snare 1"}},
    {39, 39, {"Hand Clap", "Hand Clap", "Hand Clap", "TR-909 Hand Clap", "TR-909 Hand Clap"}},
    {40, 40, {"Standard 1 Snare 2", "Snare Drum 2", "Standard 1 Snare 2", "Standard 1 Snare 2", "Standard 1 Snare 2"}},
    {41, 41, {"Low Tom 2"}},
    {42, 42, {"Closed Hi-Hat 1"}},
    {43, 43, {"Low Tom 1"}},
    {44, 44, {"Pedal Hi-Hat"}},
    {45, 45, {"Mid Tom 2"}},
    {46, 46, {"Open Hi-Hat 1", "Open Hi-Hat", "Open Hi-Hat 1", "Open Hi-Hat 1", "Open Hi-Hat 1"}},
    {47, 47, {"Mid Tom 1"}},
    {48, 48, {"High Tom 2"}},
    {49, 49, {"Crash Cymbal 1"}},
    {50, 50, {"High Tom 1"}},
    {51, 51, {"Ride Cymbal 1"}},
    {52, 52, {"Chinese Cymbal"}},
    {53, 53, {"Ride Bell"}},
    {54, 54, {"Tambourine"}},
    {55, 55, {"Splash Cymbal"}},
    {56, 56, {"Cowbell"}},
    {57, 57, {"Crash Cymbal 2"}},
    {58, 58, {"Vibra-slap"}},
    {59, 59, {"Ride Cymbal 2"}},
    {60, 60, {"High Bongo"}},
    {61, 61, {"Low Bongo"}},
    {62, 62, {"Mute High Conga"}},
    {63, 63, {"Open High Conga"}},
    {64, 64, {"Low Conga"}},
    {65, 65, {"High Timbale"}},
    {66, 66, {"Low Timbale"}},
    {67, 67, {"High Agogo"}},
    {68, 68, {"Low Agogo"}},
    {69, 69, {"Cabasa"}},
    {70, 70, {"Maracas"}},
    {71, 71, {"Short High Whistle"}},
    {72, 72, {"Long Low Whistle"}},
    {73, 73, {"Short Guiro"}},
    {74, 74, {"Long Guiro"}},
    {75, 75, {"Claves"}},
    {76, 76, {"High Wood Block"}},
    {77, 77, {"Low Wood Block"}},
    {78, 78, {"Mute Cuica"}},
    {79, 79, {"Open Cuica"}},
    {80, 80, {"Mute Triangle"}},
    {81, 81, {"Open Triangle"}},
    {82, 82, {"Shaker"}},
    {83, 83, {"Jingle Bell"}},
    {84, 84, {"Bell Tree"}},
    {85, 85, {"Castanets"}},
    {86, 86, {"Mute Surdo"}},
    {87, 87, {"Open Surdo"}},
    {88, 88, {"Nothing", "Nothing", "Nothing", "Applause 2", "Applause 2"}},
    {89, 94, {"Nothing"}},
    {95, 95, {"Nothing", "Nothing", "Nothing", "Nothing", "Room Snare 1"}},
    {96, 96, {"Nothing", "Nothing", "Nothing", "Nothing", "Room Snare 2"}},
    {97, 97, {"Nothing", "Nothing", "Nothing", "[88] Standard 1 Snare 1", "[88] Standard 1 Snare 1"}},
    {98, 98, {"Nothing", "Nothing", "Nothing", "[88] Standard 1 Snare 2", "[88] Standard 1 Snare 2"}},
    {99, 99, {"Nothing", "Nothing", "Nothing", "[88] Standard 2 Snare 1", "[88] Standard 2 Snare 1"}},
    {100, 100, {"Nothing", "Nothing", "Nothing", "[88] Standard 2 Snare 2", "[88] Standard 2 Snare 2"}},
    {101, 101, {"Nothing", "Nothing", "Nothing", "[55] Snare Drum 2", "[55] Snare Drum 2"}},
    {102, 102, {"Nothing", "Nothing", "Nothing", "Standard 1 Snare 1", "[Pro] Standard 1 Snare 1"}},
    {103, 103, {"Nothing", "Nothing", "Nothing", "Standard 1 Snare 2", "[Pro] Standard 1 Snare 2"}},
    {104, 104, {"Nothing", "Nothing", "Nothing", "Standard 1 Snare 3", "[Pro] Standard 1 Snare 3"}},
    {105, 105, {"Nothing", "Nothing", "Nothing", "[88] Jazz Snare 1", "[88] Jazz Snare 1"}},
    {106, 106, {"Nothing", "Nothing", "Nothing", "[88] Jazz Snare 2", "[88] Jazz Snare 2"}},
    {107, 107, {"Nothing", "Nothing", "Nothing", "[88] Room Snare 1", "[88] Room Snare 1"}},
    {108, 108, {"Nothing", "Nothing", "Nothing", "[88] Room Snare 2", "[88] Room Snare 2"}},
    {109, 109, {"Nothing", "Nothing", "Nothing", "[88] Power Snare 1", "[88] Power Snare 1"}},
    {110, 110, {"Nothing", "Nothing", "Nothing", "[88] Power Snare 2", "[88] Power Snare 2"}},
    {111, 111, {"Nothing", "Nothing", "Nothing", "[55] Gated Snare", "[55] Gated Snare"}},
    {112, 112, {"Nothing", "Nothing", "Nothing", "[88] Dance Snare 1", "[88] Dance Snare 1"}},
    {113, 113, {"Nothing", "Nothing", "Nothing", "[88] Dance Snare 2", "[88] Dance Snare 2"}},
    {114, 114, {"Nothing", "Nothing", "Nothing", "[88] Disco Snare", "[88] Disco Snare"}},
    {115, 115, {"Nothing", "Nothing", "Nothing", "[88] Electric Snare 2", "[88] Electric Snare 2"}},
    {116, 116, {"Nothing", "Nothing", "Nothing", "[55] Electric Snare", "[55] Electric Snare"}},
    {117, 117, {"Nothing", "Nothing", "Nothing", "[88] Electric Snare 3", "[88] Electric Snare 3"}},
    {118, 118, {"Nothing", "Nothing", "Nothing", "TR-707 Snare 1", "[Pro] TR-707 Snare 1"}},
    {119, 119, {"Nothing", "Nothing", "Nothing", "[88] TR-808 Snare 1", "[88] TR-808 Snare 1"}},
    {120, 120, {"Nothing", "Nothing", "Nothing", "[88] TR-808 Snare 2", "[88] TR-808 Snare 2"}},
    {121, 121, {"Nothing", "Nothing", "Nothing", "[88] TR-909 Snare 1", "[88] TR-909 Snare 1"}},
    {122, 122, {"Nothing", "Nothing", "Nothing", "[88] TR-909 Snare 2", "[88] TR-909 Snare 2"}},
    {123, 123, {"Nothing", "Nothing", "Nothing", "Rap Snare", "[Pro] Rap Snare"}},
    {124, 124, {"Nothing", "Nothing", "Nothing", "Jungle Snare 1", "[Pro] Jungle Snare 1"}},
    {125, 125, {"Nothing", "Nothing", "Nothing", "House Snare 1", "[Pro] House Snare 1"}},
    {126, 126, {"Nothing", "Nothing", "Nothing", "[88] House Snare", "[88] House Snare"}},
    {127, 127, {"Nothing", "Nothing", "Nothing", "House Snare 2", "[Pro] House Snare 2"}},
};
constexpr KitShapeRow kKitShapes[] = {
    {0, {{{25, 87, 63}, {27, 87, 61}, {25, 87, 63}, {0, 127, 120}, {0, 127, 122}}}},
    {1, {{kAbsent, kAbsent, {25, 87, 63}, {0, 127, 120}, {0, 127, 118}}}},
    {2, {{kAbsent, kAbsent, kAbsent, {0, 127, 120}, {17, 118, 94}}}},
    {8, {{{25, 87, 63}, {27, 87, 61}, {25, 87, 63}, {0, 127, 120}, {0, 127, 122}}}},
    {9, {{kAbsent, kAbsent, kAbsent, {0, 127, 120}, {0, 127, 128}}}},
    {10, {{kAbsent, kAbsent, kAbsent, {0, 127, 120}, {0, 127, 128}}}},
    {11, {{kAbsent, kAbsent, kAbsent, {0, 127, 120}, {0, 127, 128}}}},
    {12, {{kAbsent, kAbsent, kAbsent, kAbsent, {17, 118, 94}}}},
    {13, {{kAbsent, kAbsent, kAbsent, kAbsent, {0, 127, 128}}}},
    {16, {{{25, 87, 63}, {27, 87, 61}, {25, 87, 63}, {0, 127, 120}, {0, 127, 118}}}},
    {24, {{{25, 87, 63}, {27, 87, 61}, {25, 87, 63}, {0, 127, 120}, {0, 127, 118}}}},
    {25, {{{25, 87, 63}, {27, 87, 61}, {25, 87, 63}, {0, 127, 120}, {0, 127, 118}}}},
    {26, {{kAbsent, kAbsent, {25, 87, 63}, {0, 127, 120}, {0, 127, 128}}}},
    {27, {{kAbsent, kAbsent, kAbsent, {0, 127, 120}, {0, 127, 118}}}},
    {28, {{kAbsent, kAbsent, kAbsent, {0, 127, 120}, {0, 127, 118}}}},
    {29, {{kAbsent, kAbsent, kAbsent, {0, 127, 120}, {0, 127, 118}}}},
    {30, {{kAbsent, kAbsent, kAbsent, {0, 127, 120}, {0, 127, 118}}}},
    {32, {{{25, 87, 63}, {27, 87, 61}, {25, 87, 63}, {0, 127, 120}, {0, 127, 119}}}},
    {33, {{kAbsent, kAbsent, kAbsent, kAbsent, {0, 127, 122}}}},
    {40, {{{25, 87, 63}, {27, 87, 61}, {25, 87, 63}, {0, 127, 120}, {0, 127, 115}}}},
    {41, {{kAbsent, kAbsent, kAbsent, kAbsent, {0, 127, 119}}}},
    {42, {{kAbsent, kAbsent, kAbsent, kAbsent, {0, 127, 120}}}},
    {48, {{{25, 88, 64}, {27, 88, 62}, {25, 88, 64}, {0, 113, 104}, {0, 113, 104}}}},
    {49, {{kAbsent, kAbsent, {25, 99, 75}, {25, 99, 75}, {25, 99, 75}}}},
    {50, {{kAbsent, kAbsent, {40, 91, 52}, {25, 111, 87}, {25, 111, 87}}}},
    {51, {{kAbsent, kAbsent, kAbsent, kAbsent, {25, 111, 87}}}},
    {52, {{kAbsent, kAbsent, kAbsent, {25, 88, 64}, {25, 90, 66}}}},
    {53, {{kAbsent, kAbsent, kAbsent, {32, 96, 65}, {32, 96, 65}}}},
    {54, {{kAbsent, kAbsent, kAbsent, kAbsent, {36, 88, 53}}}},
    {55, {{kAbsent, kAbsent, kAbsent, kAbsent, {36, 88, 53}}}},
    {56, {{{39, 84, 46}, {39, 84, 46}, {31, 90, 60}, {21, 96, 76}, {21, 96, 76}}}},
    {57, {{kAbsent, kAbsent, {36, 88, 53}, {36, 88, 53}, {36, 88, 53}}}},
    {58, {{kAbsent, kAbsent, kAbsent, {36, 91, 56}, {36, 91, 56}}}},
    {59, {{kAbsent, kAbsent, kAbsent, kAbsent, {17, 119, 103}}}},
    {60, {{kAbsent, kAbsent, kAbsent, kAbsent, {31, 90, 60}}}},
    {61, {{kAbsent, kAbsent, kAbsent, kAbsent, {36, 88, 53}}}},
    {62, {{kAbsent, kAbsent, kAbsent, kAbsent, {32, 96, 65}}}},
    {127, {{{35, 108, 67}, {35, 108, 67}, kAbsent, kAbsent, {35, 108, 67}}}},
};
constexpr KickSnareRow kKickAndSnare[] = {
    {0, 0, "Standard 1 Kick 1", "Standard 1 Snare 1"},
    {0, 1, "Kick Drum 1", "Snare Drum 1"},
    {0, 2, "Standard 1 Kick 1", "Standard 1 Snare 1"},
    {0, 3, "Standard 1 Kick 1", "Standard 1 Snare 1"},
    {0, 4, "Standard 1 Kick 1", "Standard 1 Snare 1"},
    {1, 2, "Standard 2 Kick 1", "Standard 2 Snare 1"},
    {1, 3, "Standard 2 Kick 1", "Standard 2 Snare 1"},
    {1, 4, "Standard 2 Kick 1", "Standard 2 Snare 1"},
    {2, 3, "[RND] Kick", "[RND] Snare"},
    {2, 4, "[RND]Standard 1 Kick 1", "[RND]Standard 1 Snare 1"},
    {8, 0, "Room Kick 1", "Room Snare 1"},
    {8, 1, "Kick Drum 1", "Snare Drum 1"},
    {8, 2, "Room Kick 1", "Room Snare 1"},
    {8, 3, "Room Kick 1", "Room Snare 1"},
    {8, 4, "Room Kick 1", "Room Snare 1"},
    {9, 3, "Hip-Hop Kick 1", "Rap Snare 1"},
    {9, 4, "Hip-Hop Kick 1", "LoFi Snare 1"},
    {10, 3, "Jungle Kick 1", "Jungle Snare 1"},
    {10, 4, "Jungle Kick 1", "Hip-Hop Snare 1"},
    {11, 3, "Techno Kick 1", "Techno Snare 1"},
    {11, 4, "TR-909 Kick 1", "TR-606 Snare 2"},
    {12, 4, "[RND]Room Kick 1", "[RND] Room Snare 1"},
    {13, 4, "TR-909 Kick 1", "House Snare 1"},
    {16, 0, "Power Kick 1", "Power Snare 1"},
    {16, 1, "MONDO Kick 1", "Gated SD"},
    {16, 2, "Power Kick 1", "Power Snare 1"},
    {16, 3, "Power Kick 1", "Power Snare 1"},
    {16, 4, "Power Kick 1", "Power 1 Snare 1"},
    {24, 0, "Electric Kick 1", "Electric Snare 1"},
    {24, 1, "Elec BD", "Elec SD"},
    {24, 2, "Electric Kick 1", "Electric Snare 1"},
    {24, 3, "Electric Kick 1", "Electric Snare 1"},
    {24, 4, "Electric Kick 1", "Electric Snare 1"},
    {25, 0, "808 Bass Drum", "808 Snare 1"},
    {25, 1, "808 Bass Drum", "808 Snare Drum"},
    {25, 2, "808 Bass Drum", "808 Snare 1"},
    {25, 3, "TR-808 Kick 1", "TR-808 Snare 1"},
    {25, 4, "TR-808 Kick 1", "TR-808 Snare 1"},
    {26, 2, "Electric Kick 2", "Dance Snare 1"},
    {26, 3, "Electric Kick 2", "House Snare 1"},
    {26, 4, "Dance Kick 1", "Dance Snare 1"},
    {27, 3, "CR-78 Kick 1", "CR-78 Snare 1"},
    {27, 4, "CR-78 Kick 1", "CR-78 Snare 1"},
    {28, 3, "TR-606 Kick 1", "TR-606 Snare 1"},
    {28, 4, "TR-606 Kick 1", "TR-606 Snare 1"},
    {29, 3, "TR-707 Kick 1", "TR-707 Snare 1"},
    {29, 4, "TR-707 Kick 1", "TR-707 Snare 1"},
    {30, 3, "TR-909 Kick 1", "TR-909 Snare 1"},
    {30, 4, "TR-909 Kick 1", "TR-909 Snare 1"},
    {32, 0, "Jazz Kick 1", "Jazz Snare 1"},
    {32, 1, "Jazz BD 1", "Snare Drum 1"},
    {32, 2, "Jazz Kick 1", "Jazz Snare 1"},
    {32, 3, "Jazz Kick 1", "Jazz Snare 1"},
    {32, 4, "Jazz Kick 1", "Jazz Snare 1"},
    {33, 4, "[RND]Jazz Kick 1", "[RND]Jazz Snare 1"},
    {40, 0, "Jazz Kick 1", "Brush Tap 1"},
    {40, 1, "Jazz BD 1", "Brush Tap"},
    {40, 2, "Jazz Kick 1", "Brush Tap 1"},
    {40, 3, "Jazz Kick 1", "Brush Tap 1"},
    {40, 4, "Jazz Kick 1", "Brush Tap 1"},
    {41, 4, "Brush Kick 1", "Brush Tap 2"},
    {42, 4, "[RND]Brush Kick 1", "[RND]Brush Tap 2"},
    {48, 0, "Concert BD 1", "Concert SD"},
    {48, 1, "Concert BD 1", "Concert SD"},
    {48, 2, "Concert BD 1", "Concert SD"},
    {48, 3, "Concert BD 1", "Concert SD"},
    {48, 4, "Concert BD 1", "Concert SD"},
    {49, 2, "Wadaiko", "Shime Taiko"},
    {49, 3, "Wadaiko", "Shime Taiko"},
    {49, 4, "Wadaiko", "Shime Taiko"},
    {50, 2, "Nothing", "Nothing"},
    {50, 3, "Techno Kick 2", "Standard 1 Kick 2"},
    {50, 4, "Techno Kick 2", "Standard 1 Kick 2"},
    {51, 4, "[Pro]Techno Kick 2", "[Pro]Standard 1 Kick 2"},
    {52, 3, "Gendar 2", "Gendar 4"},
    {52, 4, "Gendar 2", "Gendar 4"},
    {53, 3, "[55]Closed Hi-Hat", "[88]Closed Hi-Hat 3"},
    {53, 4, "[55]Closed Hi-Hat", "[88]Closed Hi-Hat 3"},
    {54, 4, "Kendang Wadon", "Bebarongan"},
    {55, 4, "Kendang Wadon", "Bebarongan"},
    {56, 0, "Nothing", "Nothing"},
    {56, 1, "Nothing", "Nothing"},
    {56, 2, "Dis.Gt. Cutting Noise Down", "Pick Scrape"},
    {56, 3, "Dis.Gt. Cutting Noise Down", "Pick Scrape"},
    {56, 4, "Dis.Gt. Cutting Noise Down", "Pick Scrape"},
    {57, 2, "Reverse Kick 1", "Reverse Power Kick 1"},
    {57, 3, "Reverse Kick 1", "Reverse Power Kick 1"},
    {57, 4, "Reverse Kick 1", "Reverse Power Kick 1"},
    {58, 3, "Reverse TR-707 Kick 1", "Reverse Hip-Hop Kick 1"},
    {58, 4, "Reverse TR-707 Kick 1", "Reverse Hip-Hop Kick 1"},
    {59, 4, "Reverse Steel Guitar Stroke Noise Down 2", "Reverse TRumpet Noise"},
    {60, 4, "Steel Guitar Slide Noise 2", "Steel Guitar Slide Noise 4"},
    {61, 4, "Reverse Breath Slow", "Reverse Breath Strong"},
    {62, 4, "Standard 1 Closed Hi-Hat", "Jazz Closed Hi-Hat"},
    {127, 0, "CM Kick Drum", "CM Snare Drum"},
    {127, 1, "CM Kick Drum", "CM Snare Drum"},
    {127, 4, "CM Kick Drum", "CM Snare Drum"},
};
// clang-format on

std::vector<std::pair<int, int>> presentKits()
{
    std::vector<std::pair<int, int>> kits;
    for (int program = 0; program < kProgramCount; ++program)
        for (int map = 0; map < kMapCount; ++map)
            if (kitPresent(program, map))
                kits.emplace_back(program, map);
    return kits;
}

std::string_view tagOf(std::string_view name)
{
    if (name.empty() || name.front() != '[')
        return {};
    const auto close = name.find(']');
    return close == std::string_view::npos ? std::string_view{} : name.substr(0, close + 1);
}

// The name without its leading tag and the blank that may follow it.
std::string_view untagged(std::string_view name)
{
    name.remove_prefix(tagOf(name).size());
    if (!name.empty() && name.front() == ' ')
        name.remove_prefix(1);
    return name;
}

TEST(DrumNames, Standard1InFull)
{
    int covered = 0;
    for (const auto& row : kStandard1) {
        for (int note = row.first; note <= row.last; ++note, ++covered) {
            for (int map = 0; map < kMapCount; ++map) {
                const auto expected = row.names[map].empty() ? row.names[0] : row.names[map];
                EXPECT_EQ(drumName(0, note, map), expected) << "note " << note << ", " << kMapNames[map];
            }
        }
    }
    EXPECT_EQ(covered, kNoteCount);
}

TEST(DrumNames, EveryKitHasItsShape)
{
    std::set<std::pair<int, int>> listed;
    for (const auto& row : kKitShapes) {
        for (int map = 0; map < kMapCount; ++map) {
            const auto& want = row.maps[map];
            SCOPED_TRACE(testing::Message() << "program " << row.program << ", " << kMapNames[map]);
            if (want.sounding == 0) {
                EXPECT_FALSE(kitPresent(row.program, map));
                continue;
            }
            listed.emplace(row.program, map);
            ASSERT_TRUE(kitPresent(row.program, map));
            KitShape got{-1, -1, 0};
            for (int note = 0; note < kNoteCount; ++note) {
                const auto name = drumName(row.program, note, map);
                ASSERT_FALSE(name.empty()) << "note " << note;
                if (name == kNothing)
                    continue;
                if (got.first < 0)
                    got.first = note;
                got.last = note;
                ++got.sounding;
            }
            EXPECT_EQ(got.first, want.first);
            EXPECT_EQ(got.last, want.last);
            EXPECT_EQ(got.sounding, want.sounding);
        }
    }
    const auto present = presentKits();
    const std::set<std::pair<int, int>> presentSet(present.begin(), present.end());
    EXPECT_EQ(presentSet, listed);
}

TEST(DrumNames, KickAndSnareOfEveryKit)
{
    for (const auto& row : kKickAndSnare) {
        EXPECT_EQ(drumName(row.program, 36, row.map), row.note36) << "program " << row.program << ", " << kMapNames[row.map];
        EXPECT_EQ(drumName(row.program, 38, row.map), row.note38) << "program " << row.program << ", " << kMapNames[row.map];
    }
}

TEST(DrumNames, CountsPerMapAndInAll)
{
    struct MapCounts {
        int kits, assigned, nothing;
    };
    constexpr std::array<MapCounts, kMapCount> want{{{10, 1280, 662}, {10, 1280, 678}, {14, 1792, 921}, {25, 3200, 580}, {38, 4864, 1130}}};
    std::set<int> programs;
    int assigned = 0, nothing = 0;
    for (int map = 0; map < kMapCount; ++map) {
        MapCounts got{0, 0, 0};
        for (int program = 0; program < kProgramCount; ++program) {
            if (!kitPresent(program, map))
                continue;
            programs.insert(program);
            ++got.kits;
            for (int note = 0; note < kNoteCount; ++note) {
                ++got.assigned;
                got.nothing += drumName(program, note, map) == kNothing;
            }
        }
        EXPECT_EQ(got.kits, want[map].kits) << kMapNames[map];
        EXPECT_EQ(got.assigned, want[map].assigned) << kMapNames[map];
        EXPECT_EQ(got.nothing, want[map].nothing) << kMapNames[map];
        assigned += got.assigned;
        nothing += got.nothing;
    }
    EXPECT_EQ(programs.size(), 38u);
    EXPECT_EQ(assigned, 12416);
    EXPECT_EQ(nothing, 3971);
}

TEST(DrumNames, TagsStayInTheirMapsAndKits)
{
    const std::set<int> lrKits{2, 12, 33, 42};
    std::map<std::pair<int, std::string_view>, int> perMap;  // (map, tag) -> entries
    for (const auto& [program, map] : presentKits()) {
        for (int note = 0; note < kNoteCount; ++note) {
            const auto name = drumName(program, note, map);
            const auto tag = tagOf(name);
            if (tag.empty())
                continue;
            SCOPED_TRACE(testing::Message() << "program " << program << ", note " << note << ", " << kMapNames[map] << ": " << name);
            ++perMap[{map, tag}];
            EXPECT_FALSE(untagged(name).empty());
            if (tag == "[55]" || tag == "[88]")
                EXPECT_GE(map, 3);
            else if (tag == "[Pro]")
                EXPECT_EQ(map, 4);
            else if (tag == "[RND]")
                EXPECT_TRUE((map == 3 && program == 2) || (map == 4 && lrKits.count(program)));
            else if (tag == "[L]")
                EXPECT_TRUE(map == 4 && lrKits.count(program) && note >= 95 && note <= 106);
            else if (tag == "[R]")
                EXPECT_TRUE(map == 4 && lrKits.count(program) && note >= 107 && note <= 118);
            else
                ADD_FAILURE() << "unknown tag " << tag;
        }
    }
    EXPECT_EQ((perMap[{3, "[RND]"}]), 10);
    EXPECT_EQ((perMap[{4, "[RND]"}]), 54);
    EXPECT_EQ((perMap[{4, "[L]"}]), 48);
    EXPECT_EQ((perMap[{4, "[R]"}]), 48);

    // Each L/R kit holds twelve left sounds and the same twelve on the right.
    for (int program : lrKits) {
        for (int note = 95; note <= 106; ++note) {
            const auto left = drumName(program, note, 4);
            const auto right = drumName(program, note + 12, 4);
            EXPECT_EQ(tagOf(left), "[L]") << program << '/' << note;
            EXPECT_EQ(tagOf(right), "[R]") << program << '/' << note + 12;
            EXPECT_EQ(untagged(left), untagged(right)) << program << '/' << note;
        }
    }
    EXPECT_EQ(drumName(2, 95, 4), "[L] Standard Kick 2");
    EXPECT_EQ(drumName(2, 107, 4), "[R] Standard Kick 2");
}

void expectSameKit(int programA, int mapA, int programB, int mapB)
{
    for (int note = 0; note < kNoteCount; ++note)
        EXPECT_EQ(drumName(programA, note, mapA), drumName(programB, note, mapB))
            << "program " << programA << " in " << kMapNames[mapA] << " vs program " << programB << " in " << kMapNames[mapB]
            << ", note " << note;
}

TEST(DrumNames, KitsThatShareTheirEntries)
{
    for (int program = 0; program < kProgramCount; ++program) {
        if (kitPresent(program, 0) && program != 56 && kitPresent(program, 2))
            expectSameKit(program, 0, program, 2);
    }
    expectSameKit(56, 0, 56, 1);
    expectSameKit(127, 0, 127, 1);
    expectSameKit(127, 4, 127, 1);
    for (int program : {49, 57}) {
        expectSameKit(program, 3, program, 2);
        expectSameKit(program, 4, program, 2);
    }
    for (int program : {53, 56})
        expectSameKit(program, 4, program, 3);
    expectSameKit(55, 4, 54, 4);

    // ORCHESTRA and KICK and SNARE: the SC-8850 entries are the SC-88Pro ones,
    // with "[Pro]" put in front on one range of notes.
    struct Tagged {
        int program, first, last;
    };
    for (const auto& [program, first, last] : {Tagged{48, 17, 19}, Tagged{50, 95, 111}}) {
        for (int note = 0; note < kNoteCount; ++note) {
            const auto pro = drumName(program, note, 3);
            const auto sc8850 = drumName(program, note, 4);
            if (note < first || note > last) {
                EXPECT_EQ(sc8850, pro) << program << '/' << note;
            } else {
                EXPECT_EQ(tagOf(sc8850), "[Pro]") << program << '/' << note;
                EXPECT_EQ(untagged(sc8850), pro) << program << '/' << note;
            }
        }
    }
}

TEST(DrumNames, NamesKeepToTheirCharacterSet)
{
    constexpr std::string_view signs = " -.#!&^[]";
    std::set<std::string_view> withAmpersand, endingInBlank, all;
    for (const auto& [program, map] : presentKits()) {
        for (int note = 0; note < kNoteCount; ++note) {
            const auto name = drumName(program, note, map);
            all.insert(name);
            EXPECT_FALSE(name.empty());
            EXPECT_LE(name.size(), 40u) << name;
            EXPECT_NE(name.front(), ' ') << name;
            for (char c : name) {
                const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                signs.find(c) != std::string_view::npos;
                EXPECT_TRUE(ok) << '"' << name << "\" holds '" << c << '\'';
            }
            if (name.find('&') != std::string_view::npos)
                withAmpersand.insert(name);
            if (name.back() == ' ')
                endingInBlank.insert(name);
        }
    }
    EXPECT_EQ(withAmpersand, (std::set<std::string_view>{"Reverse R&B Claps"}));
    EXPECT_EQ(endingInBlank, (std::set<std::string_view>{"Over Blow ", "Kelontuk "}));
    for (std::string_view odd : {"Consert BD", "Ride Symbal", "Open Hi^Hat", "Reverse TRumpet Noise", "Dis.Gt. Cutting Noise Down"})
        EXPECT_TRUE(all.count(odd)) << odd;
}

TEST(DrumNames, OutsideTheTableIsEmpty)
{
    for (const auto& [program, note, map] : std::initializer_list<std::array<int, 3>>{
             {-1, 36, 4}, {128, 36, 4}, {0, -1, 4}, {0, 128, 4}, {0, 36, -1}, {0, 36, 5}, {1000000, 0, 0},
             // One map too far would be the next program's map 0: ROOM, POWER, CM64/32L.
             {7, 36, 5}, {15, 36, 5}, {126, 36, 5}}) {
        EXPECT_TRUE(drumName(program, note, map).empty()) << program << '/' << note << '/' << map;
    }
    for (const auto& [program, map] : std::initializer_list<std::pair<int, int>>{{-1, 0}, {128, 0}, {0, -1}, {0, 5}, {7, 5}})
        EXPECT_FALSE(kitPresent(program, map)) << program << '/' << map;
    // Programs no button selects, and a kit that a map lacks, are empty throughout.
    for (const auto& [program, map] : std::initializer_list<std::pair<int, int>>{{3, 4}, {126, 0}, {1, 1}, {13, 3}}) {
        EXPECT_FALSE(kitPresent(program, map));
        for (int note = 0; note < kNoteCount; ++note)
            EXPECT_TRUE(drumName(program, note, map).empty()) << program << '/' << note << '/' << map;
    }
}

TEST(DrumNames, KitButtonsMatchThePresentKits)
{
    for (int map = 0; map < kMapCount; ++map) {
        std::set<int> enabled, present;
        for (const auto& button : kKitButtons)
            if (button.enabledInMap[map])
                enabled.insert(button.program);
        for (int program = 0; program < kProgramCount; ++program)
            if (kitPresent(program, map))
                present.insert(program);
        if (map == 4) {
            // CM64/32L: its names are there, its button is not.
            EXPECT_TRUE(present.erase(127));
        }
        EXPECT_EQ(enabled, present) << kMapNames[map];
    }
}

TEST(DrumNames, ListingHasOneLinePerEntryInOrder)
{
    std::ostringstream out;
    writeDrumTable(out);
    std::istringstream in(out.str());
    std::string line;
    std::vector<std::array<int, 3>> keys;
    int ends = 0;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::array<int, 3> key{};  // program, note, map
        char tab1 = 0, tab2 = 0, tab3 = 0;
        fields >> key[0] >> std::noskipws >> tab1 >> key[1] >> tab2 >> key[2] >> tab3;
        ASSERT_TRUE(fields && tab1 == '\t' && tab2 == '\t' && tab3 == '\t') << line;
        std::string name;
        std::getline(fields, name);
        ASSERT_EQ(name, drumName(key[0], key[1], key[2])) << line;
        keys.push_back(key);
        ends += line == "60\t68\t4\tOver Blow ";
    }
    EXPECT_EQ(keys.size(), 12416u);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end(), [](const auto& a, const auto& b) {
        return std::tie(a[0], a[2], a[1]) < std::tie(b[0], b[2], b[1]);
    }));
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
}

}  // namespace
}  // namespace padscope
