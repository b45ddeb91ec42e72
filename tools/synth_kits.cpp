#include "tools/synth_kits.h"

#include "core/synth/kit_plan.h"
#include "core/platform/terminal_text.h"
#include "ui/failure_text.h"
#include "catalogue/kits.h"

#include <ostream>

namespace padscope {

namespace {

std::string captionOf(int program)
{
    const KitButton* kit = findKit(program);
    return kit ? std::string(kit->caption) : "program " + std::to_string(program + 1);
}

}  // namespace

bool writeSynthKits(std::ostream& out, std::ostream& errors, const std::vector<std::filesystem::path>& fonts)
{
    std::optional<SoundFontSet> set;
    if (fonts.empty()) {
        set = findSoundFonts(standardSoundFontSearch());
        if (!set) {
            errors << "padscope-drumtable: no SoundFont found; give one with --soundfont\n";
            return false;
        }
    } else {
        std::vector<FailureReport> problems;
        set = chosenSoundFonts(fonts, problems);
        for (const FailureReport& problem : problems)
            errors << "padscope-drumtable: " << terminalText(problem) << '\n';
        if (!set)
            return false;
    }
    const auto plan = planKits(*set);
    if (!plan) {
        errors << "padscope-drumtable: the drum kits of " << terminalSafe(set->base.string()) << " cannot be read\n";
        return false;
    }
    int own = 0, sameFamily = 0, otherFamily = 0, none = 0;
    for (const KitButton& kit : kKitButtons) {
        const KitChoice& choice = (*plan)[static_cast<std::size_t>(kit.program)];
        out << captionOf(kit.program) << '\t';
        if (choice.program < 0) {
            out << "none\n";
            ++none;
            continue;
        }
        if (choice.own) {
            out << "own";
            ++own;
        } else {
            const KitButton* standIn = findKit(choice.program);
            const bool family = standIn && standIn->family == kit.family;
            out << "stand-in " << captionOf(choice.program) << (family ? "" : " (another family)");
            ++(family ? sameFamily : otherFamily);
        }
        out << '\t' << choice.presetName << '\n';
    }
    out << "# " << own << " own, " << sameFamily << " stand-ins of the same family, " << otherFamily
        << " of another family, " << none << " silent\n";
    return true;
}

}  // namespace padscope
