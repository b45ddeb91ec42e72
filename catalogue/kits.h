#pragma once

#include <array>
#include <string_view>

namespace padscope {

// Drum map indices; the same number is the Bank Select LSB and the settings value.
inline constexpr int kMapCount = 5;
inline constexpr int kDefaultMap = 4;  // SC-8850

struct DrumMap {
    int index;
    std::string_view radioButton;  // objectName of its radio button
    std::string_view radioCaption;
    std::string_view name;         // shown after "マップ=" once chosen
};

// In the order of their radio buttons, RadioButton1 first.
inline constexpr std::array<DrumMap, kMapCount> kDrumMaps{{
    {4, "RadioButton1", "SC-8850 Map", "SC-8850"},
    {3, "RadioButton2", "SC-88Pro Map", "SC-88Pro"},
    {2, "RadioButton3", "SC-88 Map", "SC-88"},
    {1, "RadioButton4", "SC-55 Map", "SC-55"},
    {0, "RadioButton5", "TG-300B(XG音源)", "TG-300B(XG)"},
}};

// The map with the given index; nullptr outside 0..4.
constexpr const DrumMap* findMap(int index)
{
    for (const auto& m : kDrumMaps)
        if (m.index == index)
            return &m;
    return nullptr;
}

struct KitButton {
    int button;        // Button130 .. Button167
    int row, column;   // 1-based place in the kit grid
    std::string_view caption;
    int program;       // 0-based Program Change value
    std::array<bool, kMapCount> enabledInMap;  // indexed by map index
    std::string_view moduleName = {};  // the sound module's own name, where the caption differs
};

inline constexpr std::array<KitButton, 38> kKitButtons{{
    KitButton{130, 1, 1, "STANDARD 1", 0, {true, true, true, true, true}},
    KitButton{131, 1, 2, "STANDARTD 2", 1, {false, false, true, true, true}, "STANDARD 2"},
    KitButton{132, 1, 3, "STANDARD L/R", 2, {false, false, false, true, true}},
    KitButton{133, 1, 4, "ROOM", 8, {true, true, true, true, true}},
    KitButton{134, 1, 5, "HIP HOP", 9, {false, false, false, true, true}},
    KitButton{135, 1, 6, "JUNGLE", 10, {false, false, false, true, true}},
    KitButton{136, 1, 7, "TECHNO", 11, {false, false, false, true, true}},
    KitButton{137, 2, 1, "ROOM L/R", 12, {false, false, false, false, true}},
    KitButton{138, 2, 2, "HOUSE", 13, {false, false, false, false, true}},
    KitButton{139, 2, 3, "POWER", 16, {true, true, true, true, true}},
    KitButton{140, 2, 4, "ELECTRONIC", 24, {true, true, true, true, true}},
    KitButton{141, 2, 5, "TR-808", 25, {true, true, true, true, true}},
    KitButton{142, 2, 6, "DANCE", 26, {false, false, true, true, true}},
    KitButton{143, 2, 7, "CR-78", 27, {false, false, false, true, true}},
    KitButton{144, 3, 1, "TR-606", 28, {false, false, false, true, true}},
    KitButton{145, 3, 2, "TR-707", 29, {false, false, false, true, true}},
    KitButton{146, 3, 3, "TR-909", 30, {false, false, false, true, true}},
    KitButton{147, 3, 4, "JAZZ", 32, {true, true, true, true, true}},
    KitButton{148, 3, 5, "JAZZ L/R", 33, {false, false, false, false, true}},
    KitButton{149, 3, 6, "BRUSH", 40, {true, true, true, true, true}},
    KitButton{150, 3, 7, "BRUSH 2", 41, {false, false, false, false, true}},
    KitButton{151, 4, 1, "BRUSH 2 L/R", 42, {false, false, false, false, true}},
    KitButton{152, 4, 2, "ORCHESTRA", 48, {true, true, true, true, true}},
    KitButton{153, 4, 3, "ETHNIC", 49, {false, false, true, true, true}},
    KitButton{154, 4, 4, "KICK and SNARE", 50, {false, false, true, true, true}},
    KitButton{155, 4, 5, "KICK and SNARE 2", 51, {false, false, false, false, true}},
    KitButton{156, 4, 6, "ASIA", 52, {false, false, false, true, true}},
    KitButton{157, 4, 7, "CYM and CLAPS", 53, {false, false, false, true, true}},
    KitButton{158, 5, 1, "GAMELAN 1", 54, {false, false, false, false, true}},
    KitButton{159, 5, 2, "GAMELAN 2", 55, {false, false, false, false, true}},
    KitButton{160, 5, 3, "SFX", 56, {true, true, true, true, true}},
    KitButton{161, 5, 4, "RHYTHM FX", 57, {false, false, true, true, true}},
    KitButton{162, 5, 5, "RHYTHM FX 2", 58, {false, false, false, true, true}},
    KitButton{163, 5, 6, "RHYTHM FX 3", 59, {false, false, false, false, true}},
    KitButton{164, 5, 7, "SFX 2", 60, {false, false, false, false, true}},
    KitButton{165, 6, 5, "VOICE", 61, {false, false, false, false, true}},
    KitButton{166, 6, 6, "CYM and CLPS 2", 62, {false, false, false, false, true}},
    KitButton{167, 6, 7, "CM64/32L", 127, {true, true, false, false, false}},
}};

// The kit button that selects the program; nullptr when none does.
constexpr const KitButton* findKit(int program)
{
    for (const auto& k : kKitButtons)
        if (k.program == program)
            return &k;
    return nullptr;
}

}  // namespace padscope
