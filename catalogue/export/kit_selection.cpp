#include "catalogue/export/kit_selection.h"

#include "catalogue/drum_names.h"
#include "catalogue/kits.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

namespace padscope {

namespace {

constexpr std::array<std::string_view, kMapCount> kMapKeys{"tg300b", "sc55", "sc88", "sc88pro", "sc8850"};

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

}  // namespace

std::vector<KitRef> selectKits(const KitSelection& selection)
{
    std::vector<KitRef> kits;
    for (int program = 0; program < kProgramCount; ++program)
        for (int map = 0; map < kMapCount; ++map)
            if ((!selection.map || *selection.map == map) && (!selection.program || *selection.program == program)
                && kitPresent(program, map))
                kits.push_back({program, map});
    return kits;
}

std::string_view mapKey(int map)
{
    return map >= 0 && map < kMapCount ? kMapKeys[map] : std::string_view{};
}

std::optional<int> mapFromKey(std::string_view key)
{
    for (int map = 0; map < kMapCount; ++map)
        if (sameIgnoringCase(key, kMapKeys[map]))
            return map;
    return std::nullopt;
}

std::string_view mapTitle(int map)
{
    const DrumMap* found = findMap(map);
    return found ? found->name : std::string_view{};
}

std::string kitTitle(int program)
{
    for (const auto& button : kKitButtons)
        if (button.program == program)
            return std::string(button.moduleName.empty() ? button.caption : button.moduleName);
    return "Program " + std::to_string(program + 1);
}

std::optional<int> programFromKit(std::string_view kit)
{
    int shown = 0;
    const auto [end, error] = std::from_chars(kit.data(), kit.data() + kit.size(), shown);
    if (error == std::errc{} && end == kit.data() + kit.size())
        return shown >= 1 && shown <= kProgramCount ? std::optional<int>(shown - 1) : std::nullopt;
    for (const auto& button : kKitButtons)
        if (sameIgnoringCase(kit, button.caption)
            || (!button.moduleName.empty() && sameIgnoringCase(kit, button.moduleName)))
            return button.program;
    return std::nullopt;
}

bool sounding(std::string_view name)
{
    return !name.empty() && name != "Nothing";
}

std::string_view withoutTrailingBlanks(std::string_view name)
{
    const auto last = name.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : name.substr(0, last + 1);
}

}  // namespace padscope
