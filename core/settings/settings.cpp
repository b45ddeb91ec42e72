#include "core/settings/settings.h"

namespace padscope {

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
}

}  // namespace padscope
