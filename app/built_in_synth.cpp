#include "app/built_in_synth.h"

#include "app/module_file.h"
#include "app/program_log.h"
#include "core/synth/preset_part_cache.h"
#include "core/synth/synth_availability.h"

#include <QCoreApplication>
#include <QFile>

namespace padscope {

namespace {

constexpr char kModuleFile[] = PADSCOPE_MODULE_FILE;
constexpr char kFactoryName[] = "padscopeMakeSynthEngine";

// Beside the program (a build folder, Windows), then in the library folder
// of the installation the program belongs to.
QStringList moduleFolders()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {programFolder, programFolder + QStringLiteral("/" PADSCOPE_MODULE_FOLDER)};
}

}  // namespace

std::unique_ptr<SynthPort> builtInSynthPort(std::function<SoundFontSet()> fonts)
{
    return std::make_unique<SynthPort>(
        std::string(kBuiltInSynthName), SynthOptions{},
        [fonts = std::move(fonts)](const std::vector<std::filesystem::path>& chosen) {
            return loadBuiltInSynth(chosen.empty() ? fonts() : soundFontSetOf(chosen));
        });
}

std::unique_ptr<SynthEngine> loadBuiltInSynth(const SoundFontSet& fonts)
{
    return loadBuiltInSynth(fonts, moduleFolders());
}

std::unique_ptr<SynthEngine> loadBuiltInSynth(const SoundFontSet& fonts, const QStringList& folders, JackServer& jack)
{
    QStringList failures;
    for (const QString& folder : folders) {
        // That file alone: the loader would also try the module's other names.
        const std::string path = QFile::encodeName(folder + QLatin1Char('/') + QLatin1String(kModuleFile)).toStdString();
        std::string error;
        using Factory = SynthEngine* (*)(const SoundFontSet*, JackServer*, PresetPartCache*);
        const auto make = reinterpret_cast<Factory>(moduleFunction(path, kFactoryName, error));
        if (!make) {
            failures << QString::fromStdString(error);
            continue;
        }
        return std::unique_ptr<SynthEngine>(make(&fonts, &jack, &presetParts()));
    }
    qCWarning(lcProgram, "The built-in synth is not available: %s", qPrintable(failures.join(QStringLiteral("; "))));
    return nullptr;
}

}  // namespace padscope
