#pragma once

#include "catalogue/kits.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace padscope {

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

struct KitStandIns {
    int program;  // the kit button's program
    KitFamily family;
    // The kits that stand in for it, the closest first; STANDARD 1 (0) last.
    std::array<int, 6> standIns;
    // What a SoundFont's name for this kit holds, in lower case without
    // blanks or punctuation ("TR-808" -> "tr808" holds "808").
    std::array<std::string_view, 3> names;
};

inline constexpr int kNoKit = -1;

// One entry per kit button, in the buttons' order. Unused places hold kNoKit
// or an empty name.
inline constexpr std::array<KitStandIns, 38> kKitStandIns{{
    {0, KitFamily::DrumSet, {1, 2, 8, 16, kNoKit, kNoKit}, {"standard", "std", {}}},
    {1, KitFamily::DrumSet, {0, 2, 8, 16, kNoKit, kNoKit}, {"standard", "std", {}}},
    {2, KitFamily::DrumSet, {0, 1, 8, kNoKit, kNoKit, kNoKit}, {"standard", "std", {}}},
    {8, KitFamily::DrumSet, {12, 16, 0, kNoKit, kNoKit, kNoKit}, {"room", {}, {}}},
    {9, KitFamily::Electronic, {25, 24, 26, 10, 0, kNoKit}, {"hiphop", {}, {}}},
    {10, KitFamily::Electronic, {9, 26, 24, 25, 0, kNoKit}, {"jungle", {}, {}}},
    {11, KitFamily::Electronic, {30, 24, 26, 13, 25, 0}, {"techno", {}, {}}},
    {12, KitFamily::DrumSet, {8, 16, 0, kNoKit, kNoKit, kNoKit}, {"room", {}, {}}},
    {13, KitFamily::Electronic, {30, 26, 11, 24, 25, 0}, {"house", {}, {}}},
    {16, KitFamily::DrumSet, {8, 12, 0, kNoKit, kNoKit, kNoKit}, {"power", {}, {}}},
    {24, KitFamily::Electronic, {26, 30, 25, 0, kNoKit, kNoKit}, {"electronic", "elec", {}}},
    {25, KitFamily::Electronic, {28, 27, 24, 0, kNoKit, kNoKit}, {"808", "analog", {}}},
    {26, KitFamily::Electronic, {30, 24, 13, 11, 25, 0}, {"dance", {}, {}}},
    {27, KitFamily::Electronic, {25, 28, 24, 0, kNoKit, kNoKit}, {"cr78", {}, {}}},
    {28, KitFamily::Electronic, {25, 27, 24, 0, kNoKit, kNoKit}, {"606", {}, {}}},
    {29, KitFamily::Electronic, {30, 25, 24, 0, kNoKit, kNoKit}, {"707", {}, {}}},
    {30, KitFamily::Electronic, {24, 25, 29, 26, 0, kNoKit}, {"909", {}, {}}},
    {32, KitFamily::DrumSet, {33, 40, 0, kNoKit, kNoKit, kNoKit}, {"jazz", {}, {}}},
    {33, KitFamily::DrumSet, {32, 40, 0, kNoKit, kNoKit, kNoKit}, {"jazz", {}, {}}},
    {40, KitFamily::DrumSet, {41, 32, 0, kNoKit, kNoKit, kNoKit}, {"brush", {}, {}}},
    {41, KitFamily::DrumSet, {40, 42, 32, 0, kNoKit, kNoKit}, {"brush", {}, {}}},
    {42, KitFamily::DrumSet, {41, 40, 32, 0, kNoKit, kNoKit}, {"brush", {}, {}}},
    {48, KitFamily::Percussion, {49, 0, kNoKit, kNoKit, kNoKit, kNoKit}, {"orch", {}, {}}},
    {49, KitFamily::Percussion, {52, 54, 55, 48, 0, kNoKit}, {"ethnic", {}, {}}},
    {50, KitFamily::DrumSet, {51, 0, kNoKit, kNoKit, kNoKit, kNoKit}, {"kick", "snare", {}}},
    {51, KitFamily::DrumSet, {50, 0, kNoKit, kNoKit, kNoKit, kNoKit}, {"kick", "snare", {}}},
    {52, KitFamily::Percussion, {49, 54, 55, 48, 0, kNoKit}, {"asia", {}, {}}},
    {53, KitFamily::DrumSet, {62, 0, kNoKit, kNoKit, kNoKit, kNoKit}, {"cym", "clap", {}}},
    {54, KitFamily::Percussion, {55, 52, 49, 48, 0, kNoKit}, {"gamelan", {}, {}}},
    {55, KitFamily::Percussion, {54, 52, 49, 48, 0, kNoKit}, {"gamelan", {}, {}}},
    {56, KitFamily::Effects, {60, 0, kNoKit, kNoKit, kNoKit, kNoKit}, {"sfx", "effect", "soundfx"}},
    {57, KitFamily::Effects, {58, 59, 56, 60, 0, kNoKit}, {"rhythm", {}, {}}},
    {58, KitFamily::Effects, {57, 59, 56, 60, 0, kNoKit}, {"rhythm", {}, {}}},
    {59, KitFamily::Effects, {58, 57, 56, 60, 0, kNoKit}, {"rhythm", {}, {}}},
    {60, KitFamily::Effects, {56, 61, 0, kNoKit, kNoKit, kNoKit}, {"sfx", "effect", "soundfx"}},
    {61, KitFamily::Effects, {60, 56, 0, kNoKit, kNoKit, kNoKit}, {"voice", {}, {}}},
    {62, KitFamily::DrumSet, {53, 0, kNoKit, kNoKit, kNoKit, kNoKit}, {"cym", "clap", {}}},
    {127, KitFamily::DrumSet, {0, kNoKit, kNoKit, kNoKit, kNoKit, kNoKit}, {"cm64", "cm32", "mt32"}},
}};

constexpr bool followsKitButtons()
{
    for (std::size_t i = 0; i < kKitButtons.size(); ++i)
        if (kKitStandIns[i].program != kKitButtons[i].program)
            return false;
    return true;
}
static_assert(followsKitButtons(), "one entry per kit button, in their order");

// The stand-ins of the kit with the given program; nullptr when no kit
// button has it. The table runs parallel to the kit buttons.
constexpr const KitStandIns* findStandIns(int program)
{
    const KitButton* kit = findKit(program);
    return kit ? &kKitStandIns[static_cast<std::size_t>(kit - kKitButtons.data())] : nullptr;
}

}  // namespace padscope
