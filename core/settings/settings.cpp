#include "core/settings/settings.h"

#include <algorithm>
#include <cctype>

namespace padscope {

namespace {

bool sameName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

// The keys of the drum sound section, map and program, as the file has them.
std::vector<std::pair<std::string, std::pair<int, int>>> drumSoundKeys(const IniFile& file)
{
    std::vector<std::pair<std::string, std::pair<int, int>>> keys;
    for (const IniFile::Entry& entry : file.entries())
        if (entry.key && sameName(entry.section, kDrumSoundSection))
            if (const auto kit = parseKitEditsKey(*entry.key))
                keys.emplace_back(*entry.key, *kit);
    return keys;
}

}  // namespace

Settings readSettings(const IniFile& file)
{
    const Settings defaults;
    Settings s;
    s.height = file.readInteger(kWindowSection, "height", defaults.height);
    s.width = file.readInteger(kWindowSection, "width", defaults.width);
    s.top = file.readInteger(kWindowSection, "top", defaults.top);
    s.left = file.readInteger(kWindowSection, "left", defaults.left);
    s.deviceIndex = file.readInteger(kDeviceSection, "num", defaults.deviceIndex);
    s.map = file.readInteger(kGeneralSection, "bank", defaults.map);
    // The map indexes the drum name table, so it must name one of the maps.
    if (!findMap(s.map))
        s.map = defaults.map;
    s.deviceName = file.readString(kDeviceSection, "gakki", defaults.deviceName);
    s.inputName = file.readString(kInputSection, "port", defaults.inputName);
    s.thru = file.readInteger(kInputSection, "thru", 0) != 0;
    s.soundFont = file.readString(kSynthSection, "soundfont", defaults.soundFont);
    s.language = file.readString(kGeneralSection, "language", defaults.language);
    for (const auto& [key, kit] : drumSoundKeys(file))
        readKitEdits(file.readString(kDrumSoundSection, key, ""), kit.first, kit.second, s.drumEdits);
    return s;
}

void writeSettings(IniFile& file, const Settings& settings)
{
    file.writeInteger(kWindowSection, "Height", settings.height);
    file.writeInteger(kWindowSection, "Width", settings.width);
    file.writeInteger(kWindowSection, "Top", settings.top);
    file.writeInteger(kWindowSection, "Left", settings.left);
    file.writeInteger(kDeviceSection, "num", settings.deviceIndex);
    file.writeInteger(kGeneralSection, "bank", settings.map);
    file.writeString(kDeviceSection, "gakki", settings.deviceName);
    const Settings defaults;
    if (settings.inputName != defaults.inputName || settings.thru != defaults.thru
        || file.hasKey(kInputSection, "port") || file.hasKey(kInputSection, "thru")) {
        file.writeString(kInputSection, "port", settings.inputName);
        file.writeInteger(kInputSection, "thru", settings.thru ? 1 : 0);
    }
    if (settings.soundFont != defaults.soundFont || file.hasKey(kSynthSection, "soundfont"))
        file.writeString(kSynthSection, "soundfont", settings.soundFont);
    if (settings.language != defaults.language || file.hasKey(kGeneralSection, "language"))
        file.writeString(kGeneralSection, "language", settings.language);
    // A kit whose edits were all reset keeps its key with nothing after it;
    // so does a key spelt otherwise ("4.07"), whose edits go under "4.7".
    for (const auto& [key, kit] : drumSoundKeys(file))
        if ((key != kitEditsKey(kit.first, kit.second) || !settings.drumEdits.kit(kit.first, kit.second))
            && !file.readString(kDrumSoundSection, key, "").empty())
            file.writeString(kDrumSoundSection, key, "");
    for (const auto& [map, program] : settings.drumEdits.kits())
        file.writeString(kDrumSoundSection, kitEditsKey(map, program),
                         kitEditsText(*settings.drumEdits.kit(map, program)));
}

}  // namespace padscope
