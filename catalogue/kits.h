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

// Kits of one family sound alike: a kit of the same family is the fitting
// stand-in where a SoundFont lacks the kit itself.
enum class KitFamily { DrumSet, Electronic, Percussion, Effects };

constexpr std::string_view familyName(KitFamily family)
{
    switch (family) {
    case KitFamily::DrumSet: return "drum set";
    case KitFamily::Electronic: return "electronic";
    case KitFamily::Percussion: return "percussion";
    case KitFamily::Effects: return "effects";
    }
    return {};
}

inline constexpr int kNoKit = -1;

struct KitButton {
    int button;        // Button130 .. Button167
    int row, column;   // 1-based place in the kit grid
    std::string_view caption;
    int program;       // 0-based Program Change value
    std::array<bool, kMapCount> enabledInMap;  // indexed by map index
    KitFamily family;
    // The kits that stand in for it where a SoundFont lacks it, the closest
    // first, STANDARD 1 (0) last; unused places hold kNoKit.
    std::array<int, 6> standIns;
    // What a SoundFont's name for this kit holds, in lower case without
    // blanks or punctuation ("TR-808" -> "tr808" holds "808"); unused places
    // are empty.
    std::array<std::string_view, 3> names;
    std::string_view moduleName = {};  // the sound module's own name, where the caption differs
};

inline constexpr std::array<KitButton, 38> kKitButtons{{
    KitButton{130, 1, 1, "STANDARD 1", 0, {true, true, true, true, true},
              KitFamily::DrumSet, {1, 2, 8, 16, kNoKit, kNoKit}, {"standard", "std", {}}},
    KitButton{131, 1, 2, "STANDARTD 2", 1, {false, false, true, true, true},
              KitFamily::DrumSet, {0, 2, 8, 16, kNoKit, kNoKit}, {"standard", "std", {}}, "STANDARD 2"},
    KitButton{132, 1, 3, "STANDARD L/R", 2, {false, false, false, true, true},
              KitFamily::DrumSet, {0, 1, 8, kNoKit, kNoKit, kNoKit}, {"standard", "std", {}}},
    KitButton{133, 1, 4, "ROOM", 8, {true, true, true, true, true},
              KitFamily::DrumSet, {12, 16, 0, kNoKit, kNoKit, kNoKit}, {"room", {}, {}}},
    KitButton{134, 1, 5, "HIP HOP", 9, {false, false, false, true, true},
              KitFamily::Electronic, {25, 24, 26, 10, 0, kNoKit}, {"hiphop", {}, {}}},
    KitButton{135, 1, 6, "JUNGLE", 10, {false, false, false, true, true},
              KitFamily::Electronic, {9, 26, 24, 25, 0, kNoKit}, {"jungle", {}, {}}},
    KitButton{136, 1, 7, "TECHNO", 11, {false, false, false, true, true},
              KitFamily::Electronic, {30, 24, 26, 13, 25, 0}, {"techno", {}, {}}},
    KitButton{137, 2, 1, "ROOM L/R", 12, {false, false, false, false, true},
              KitFamily::DrumSet, {8, 16, 0, kNoKit, kNoKit, kNoKit}, {"room", {}, {}}},
    KitButton{138, 2, 2, "HOUSE", 13, {false, false, false, false, true},
              KitFamily::Electronic, {30, 26, 11, 24, 25, 0}, {"house", {}, {}}},
    KitButton{139, 2, 3, "POWER", 16, {true, true, true, true, true},
              KitFamily::DrumSet, {8, 12, 0, kNoKit, kNoKit, kNoKit}, {"power", {}, {}}},
    KitButton{140, 2, 4, "ELECTRONIC", 24, {true, true, true, true, true},
              KitFamily::Electronic, {26, 30, 25, 0, kNoKit, kNoKit}, {"electronic", "elec", {}}},
    KitButton{141, 2, 5, "TR-808", 25, {true, true, true, true, true},
              KitFamily::Electronic, {28, 27, 24, 0, kNoKit, kNoKit}, {"808", "analog", {}}},
    KitButton{142, 2, 6, "DANCE", 26, {false, false, true, true, true},
              KitFamily::Electronic, {30, 24, 13, 11, 25, 0}, {"dance", {}, {}}},
    KitButton{143, 2, 7, "CR-78", 27, {false, false, false, true, true},
              KitFamily::Electronic, {25, 28, 24, 0, kNoKit, kNoKit}, {"cr78", {}, {}}},
    KitButton{144, 3, 1, "TR-606", 28, {false, false, false, true, true},
              KitFamily::Electronic, {25, 27, 24, 0, kNoKit, kNoKit}, {"606", {}, {}}},
    KitButton{145, 3, 2, "TR-707", 29, {false, false, false, true, true},
              KitFamily::Electronic, {30, 25, 24, 0, kNoKit, kNoKit}, {"707", {}, {}}},
    KitButton{146, 3, 3, "TR-909", 30, {false, false, false, true, true},
              KitFamily::Electronic, {24, 25, 29, 26, 0, kNoKit}, {"909", {}, {}}},
    KitButton{147, 3, 4, "JAZZ", 32, {true, true, true, true, true},
              KitFamily::DrumSet, {33, 40, 0, kNoKit, kNoKit, kNoKit}, {"jazz", {}, {}}},
    KitButton{148, 3, 5, "JAZZ L/R", 33, {false, false, false, false, true},
              KitFamily::DrumSet, {32, 40, 0, kNoKit, kNoKit, kNoKit}, {"jazz", {}, {}}},
    KitButton{149, 3, 6, "BRUSH", 40, {true, true, true, true, true},
              KitFamily::DrumSet, {41, 32, 0, kNoKit, kNoKit, kNoKit}, {"brush", {}, {}}},
    KitButton{150, 3, 7, "BRUSH 2", 41, {false, false, false, false, true},
              KitFamily::DrumSet, {40, 42, 32, 0, kNoKit, kNoKit}, {"brush", {}, {}}},
    KitButton{151, 4, 1, "BRUSH 2 L/R", 42, {false, false, false, false, true},
              KitFamily::DrumSet, {41, 40, 32, 0, kNoKit, kNoKit}, {"brush", {}, {}}},
    KitButton{152, 4, 2, "ORCHESTRA", 48, {true, true, true, true, true},
              KitFamily::Percussion, {49, 0, kNoKit, kNoKit, kNoKit, kNoKit}, {"orch", {}, {}}},
    KitButton{153, 4, 3, "ETHNIC", 49, {false, false, true, true, true},
              KitFamily::Percussion, {52, 54, 55, 48, 0, kNoKit}, {"ethnic", {}, {}}},
    KitButton{154, 4, 4, "KICK and SNARE", 50, {false, false, true, true, true},
              KitFamily::DrumSet, {51, 0, kNoKit, kNoKit, kNoKit, kNoKit}, {"kick", "snare", {}}},
    KitButton{155, 4, 5, "KICK and SNARE 2", 51, {false, false, false, false, true},
              KitFamily::DrumSet, {50, 0, kNoKit, kNoKit, kNoKit, kNoKit}, {"kick", "snare", {}}},
    KitButton{156, 4, 6, "ASIA", 52, {false, false, false, true, true},
              KitFamily::Percussion, {49, 54, 55, 48, 0, kNoKit}, {"asia", {}, {}}},
    KitButton{157, 4, 7, "CYM and CLAPS", 53, {false, false, false, true, true},
              KitFamily::DrumSet, {62, 0, kNoKit, kNoKit, kNoKit, kNoKit}, {"cym", "clap", {}}},
    KitButton{158, 5, 1, "GAMELAN 1", 54, {false, false, false, false, true},
              KitFamily::Percussion, {55, 52, 49, 48, 0, kNoKit}, {"gamelan", {}, {}}},
    KitButton{159, 5, 2, "GAMELAN 2", 55, {false, false, false, false, true},
              KitFamily::Percussion, {54, 52, 49, 48, 0, kNoKit}, {"gamelan", {}, {}}},
    KitButton{160, 5, 3, "SFX", 56, {true, true, true, true, true},
              KitFamily::Effects, {60, 0, kNoKit, kNoKit, kNoKit, kNoKit}, {"sfx", "effect", "soundfx"}},
    KitButton{161, 5, 4, "RHYTHM FX", 57, {false, false, true, true, true},
              KitFamily::Effects, {58, 59, 56, 60, 0, kNoKit}, {"rhythm", {}, {}}},
    KitButton{162, 5, 5, "RHYTHM FX 2", 58, {false, false, false, true, true},
              KitFamily::Effects, {57, 59, 56, 60, 0, kNoKit}, {"rhythm", {}, {}}},
    KitButton{163, 5, 6, "RHYTHM FX 3", 59, {false, false, false, false, true},
              KitFamily::Effects, {58, 57, 56, 60, 0, kNoKit}, {"rhythm", {}, {}}},
    KitButton{164, 5, 7, "SFX 2", 60, {false, false, false, false, true},
              KitFamily::Effects, {56, 61, 0, kNoKit, kNoKit, kNoKit}, {"sfx", "effect", "soundfx"}},
    KitButton{165, 6, 5, "VOICE", 61, {false, false, false, false, true},
              KitFamily::Effects, {60, 56, 0, kNoKit, kNoKit, kNoKit}, {"voice", {}, {}}},
    KitButton{166, 6, 6, "CYM and CLPS 2", 62, {false, false, false, false, true},
              KitFamily::DrumSet, {53, 0, kNoKit, kNoKit, kNoKit, kNoKit}, {"cym", "clap", {}}},
    KitButton{167, 6, 7, "CM64/32L", 127, {true, true, false, false, false},
              KitFamily::DrumSet, {0, kNoKit, kNoKit, kNoKit, kNoKit, kNoKit}, {"cm64", "cm32", "mt32"}},
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
