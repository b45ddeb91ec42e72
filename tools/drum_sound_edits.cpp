#include "tools/drum_sound_edits.h"

#include "core/midi/drum_sound_messages.h"
#include "core/settings/settings.h"
#include "core/settings/settings_file.h"

#include <ostream>

namespace padscope {

std::filesystem::path programSettingsPath(const std::filesystem::path& executable)
{
    return settingsPath(executable.parent_path() / "padscope", systemSettingsLocation());
}

std::size_t writeDrumSoundSetUps(std::ostream& out, const std::filesystem::path& settingsFile,
                                 const KitSelection& selection)
{
    const DrumEdits edits = readSettings(loadSettingsFile(settingsFile)).drumEdits;
    std::size_t written = 0;
    for (const auto& [map, program] : edits.kits()) {
        if ((selection.map && *selection.map != map) || (selection.program && *selection.program != program))
            continue;
        if (written++ > 0)
            out << '\n';
        out << "# " << mapTitle(map) << " map, kit " << program + 1 << ' ' << kitTitle(program) << '\n'
            << hexLines(drumSoundSetUp(defaultControllerValues(), map, program, edits.kit(map, program)));
    }
    return written;
}

}  // namespace padscope
