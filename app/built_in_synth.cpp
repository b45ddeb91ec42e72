#include "app/built_in_synth.h"

#include "app/module_file.h"
#include "core/synth/synth_availability.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QLoggingCategory>

namespace padscope {

namespace {

Q_LOGGING_CATEGORY(lcProgram, "padscope.program", QtWarningMsg)

constexpr char kModuleName[] = "padscope-synth";
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
        const QString path = folder + QLatin1Char('/') + QLatin1String(kModuleName);
        if (const std::string reason = unloadableModuleReason((path + QStringLiteral(".so")).toStdString());
            !reason.empty()) {
            failures << QString::fromStdString(reason);
            continue;
        }
        // Never unloaded: the synth's threads run its code until the end.
        QLibrary module(path);
        if (!module.load()) {
            failures << module.errorString();
            continue;
        }
        using Factory = SynthEngine* (*)(const SoundFontSet*, JackServer*);
        const auto make = reinterpret_cast<Factory>(module.resolve(kFactoryName));
        if (!make) {
            failures << module.errorString();
            continue;
        }
        return std::unique_ptr<SynthEngine>(make(&fonts, &jack));
    }
    qCWarning(lcProgram, "The built-in synth is not available: %s", qPrintable(failures.join(QStringLiteral("; "))));
    return nullptr;
}

}  // namespace padscope
