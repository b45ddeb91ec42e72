#include "core/synth/kit_plan.h"

#include "core/synth/preset_part_cache.h"
#include "catalogue/kits.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace padscope {

namespace {

// Lower case letters and digits: "TR-808" -> "tr808".
std::string plain(std::string_view name)
{
    std::string text;
    for (const char c : name)
        if (std::isalnum(static_cast<unsigned char>(c)))
            text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool names(const KitButton& kit, const std::string& name)
{
    return std::any_of(kit.names.begin(), kit.names.end(), [&name](std::string_view part) {
        return !part.empty() && name.find(part) != std::string::npos;
    });
}

// A name that says no more than "a drum kit" and a number ("Drums 26").
bool isGeneric(std::string name)
{
    for (const std::string_view word : {"percussion", "program", "drums", "drum", "kits", "kit", "perc", "prog", "set",
                                        "gm", "gs"})
        for (std::size_t at; (at = name.find(word)) != std::string::npos;)
            name.erase(at, word.size());
    return std::all_of(name.begin(), name.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

std::optional<std::vector<DrumPreset>> readDrumPresets(const std::filesystem::path& path)
{
    const auto part = presetParts().get(path);
    return part ? drumPresets(part->data) : std::nullopt;
}

KitFamily familyOf(int program)
{
    const KitButton* kit = findKit(program);
    return kit ? kit->family : KitFamily::DrumSet;
}

struct Placed {
    std::size_t font = 0;
    const DrumPreset* preset = nullptr;
};

// What a kit button plays, in which font, made of which of its kits.
struct Chosen {
    KitChoice choice;
    std::size_t font = 0;
    std::vector<int> layers;
};

// The drum kits of a set of fonts, and which of them FluidSynth plays.
class Survey {
public:
    explicit Survey(const SoundFontSet& fonts)
    {
        fonts_.push_back(readDrumPresets(fonts.base));
        for (const auto& overlay : fonts.overlays)
            fonts_.push_back(readDrumPresets(overlay));
        for (std::size_t font = 0; font < fonts_.size(); ++font) {
            if (!fonts_[font])
                continue;
            // In one font the first preset of a program is played; a later
            // font's replaces it.
            std::array<bool, 128> seen{};
            for (const DrumPreset& preset : *fonts_[font]) {
                const auto program = static_cast<std::size_t>(preset.program);
                if (!std::exchange(seen[program], true))
                    top_[program] = {font, &preset};
            }
        }
    }

    std::size_t fontCount() const { return fonts_.size(); }
    bool readable(std::size_t font) const { return fonts_[font].has_value(); }
    bool anyReadable() const
    {
        return std::any_of(fonts_.begin(), fonts_.end(), [](const auto& font) { return font.has_value(); });
    }

    Chosen choose(const KitButton& kit) const
    {
        const auto& standIns = kit.standIns;
        // Where in the stand-ins the keys left silent are looked for.
        auto fillFrom = standIns.begin();
        Chosen chosen;
        if (isOwn(kit.program)) {
            chosen = made(kit.program, true);
        } else if (const auto standIn = std::find_if(standIns.begin(), standIns.end(),
                                                     [this](int program) { return isOwn(program); });
                   standIn != standIns.end()) {
            chosen = made(*standIn, false);
            fillFrom = standIn + 1;
        } else {
            // What FluidSynth would play anyway: its Standard kit, else
            // whatever the font has at the program.
            fillFrom = standIns.end();
            if (top_[0].preset)
                chosen = made(0, false);
            else if (top_[static_cast<std::size_t>(kit.program)].preset)
                chosen = made(kit.program, false);
        }
        if (chosen.choice.program < 0)
            return chosen;
        for (auto standIn = fillFrom; standIn != standIns.end(); ++standIn)
            if (*standIn != kNoKit && familyOf(*standIn) == kit.family && isOwn(*standIn)
                && top_[static_cast<std::size_t>(*standIn)].font == chosen.font && *standIn != chosen.choice.program)
                chosen.layers.push_back(*standIn);
        return chosen;
    }

    // A program no kit button selects plays as the fonts have it.
    Chosen asItIs(int program) const
    {
        return top_[static_cast<std::size_t>(program)].preset ? made(program, false) : Chosen{};
    }

private:
    bool isOwn(int program) const
    {
        if (program < 0 || program > 127)
            return false;
        const Placed& placed = top_[static_cast<std::size_t>(program)];
        return placed.preset && isOwnKit(program, placed.preset->name);
    }

    Chosen made(int program, bool own) const
    {
        const Placed& placed = top_[static_cast<std::size_t>(program)];
        return {{program, own, placed.preset->name}, placed.font, {program}};
    }

    std::vector<std::optional<std::vector<DrumPreset>>> fonts_;
    std::array<Placed, 128> top_{};
};

}  // namespace

bool isOwnKit(int program, std::string_view presetName)
{
    const std::string name = plain(presetName);
    if (const KitButton* kit = findKit(program); kit && names(*kit, name))
        return true;
    const bool namesOther =
        std::any_of(kKitButtons.begin(), kKitButtons.end(), [&name](const auto& kit) { return names(kit, name); });
    return !namesOther && isGeneric(name);
}

std::optional<KitPlan> planKits(const SoundFontSet& fonts)
{
    const Survey survey(fonts);
    if (!survey.anyReadable())
        return std::nullopt;
    KitPlan plan;
    for (const KitButton& kit : kKitButtons)
        plan[static_cast<std::size_t>(kit.program)] = survey.choose(kit).choice;
    return plan;
}

std::vector<std::optional<KitLayers>> planLayers(const SoundFontSet& fonts)
{
    const Survey survey(fonts);
    std::vector<std::optional<KitLayers>> layers(survey.fontCount());
    for (std::size_t font = 0; font < layers.size(); ++font)
        if (survey.readable(font))
            layers[font].emplace();
    for (int program = 0; program < 128; ++program) {
        const KitButton* kit = findKit(program);
        Chosen chosen = kit ? survey.choose(*kit) : survey.asItIs(program);
        if (chosen.choice.program >= 0)
            (*layers[chosen.font])[static_cast<std::size_t>(program)] = std::move(chosen.layers);
    }
    return layers;
}

}  // namespace padscope
