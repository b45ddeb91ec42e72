#include "app/program.h"

#include "ui/about_box.h"
#include "ui/audio_failure_message.h"
#include "core/synth/audio_log.h"
#include "app/built_in_synth.h"
#include "core/midi/chained_input.h"
#include "core/midi/chained_output.h"
#include "ui/fonts.h"
#include "core/midi/jack_midi.h"
#include "core/synth/kit_plan.h"
#include "ui/main_window.h"
#include "ui/failure_messages.h"
#include "core/midi/rtmidi_input.h"
#include "core/midi/rtmidi_output.h"
#include "core/settings/settings_file.h"
#include "core/synth/synth_availability.h"
#include "core/synth/synth_log.h"
#include "core/platform/terminal_text.h"
#include "app/termination_requests.h"
#include "app/version.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <mutex>
#include <utility>

namespace padscope {

namespace {

// The fonts the synth's port plays at its first opening, settled once the
// settings are read, which is before any port opens; until then, or
// without the program, the fonts found when the port was listed.
struct StartFonts {
    std::mutex mutex;
    std::optional<SoundFontSet> fonts;
};

StartFonts& startFonts()
{
    static StartFonts fonts;
    return fonts;
}

// The program's JACK client for MIDI, opened by startListingPorts() and
// shared by the output and the input.
std::shared_ptr<JackMidiClient>& jackMidiClient()
{
    static std::shared_ptr<JackMidiClient> client;
    return client;
}

}  // namespace

std::optional<SoundFontSet> pickSoundFonts(const std::optional<SoundFontSet>& commandLine,
                                           const std::string& remembered)
{
    if (commandLine)
        return commandLine;
    if (!remembered.empty()) {
        if (!soundFontFault(remembered))
            return SoundFontSet{remembered, {}};
        qCWarning(lcSynth, "The SoundFont chosen before, %s, cannot be played; using the usual ones",
                  terminalSafe(remembered).c_str());
    }
    return findSoundFonts(standardSoundFontSearch());
}

std::unique_ptr<MidiOutput> startListingPorts(const std::optional<SoundFontSet>& soundFonts)
{
    quietAudioSystem();
    auto output = std::make_unique<ChainedOutput>();
    output->append([soundFonts]() -> std::unique_ptr<MidiOutput> {
        auto fonts = soundFonts ? builtInSynthFonts(*soundFonts) : builtInSynthFonts();
        if (!fonts)
            return nullptr;
        return builtInSynthPort([listed = std::move(*fonts)] {
            const std::lock_guard lock(startFonts().mutex);
            return startFonts().fonts.value_or(listed);
        });
    });
    output->append([] { return std::make_unique<RtMidiOutput>(); });
    // Opens on a thread of its own from here on; its ports are listed on another.
    auto jack = std::make_shared<JackMidiClient>();
    jackMidiClient() = jack;
    output->append([jack] { return std::make_unique<JackMidiOutput>(jack); });
    return output;
}

int runProgram(ProgramOptions options)
{
    QApplication::setApplicationName(QStringLiteral("Padscope"));
    QApplication::setApplicationVersion(QString::fromLatin1(programVersion()));
    QGuiApplication::setDesktopFileName(QStringLiteral(PADSCOPE_APP_ID));
    // Closed after everything that uses it, before the process ends.
    std::shared_ptr<JackMidiClient> jack;
    std::unique_ptr<MidiOutput> listed = options.outputs ? std::move(options.outputs) : startListingPorts();
    jack = std::exchange(jackMidiClient(), nullptr);
    const std::unique_ptr<MidiOutput> output = std::move(listed);

    installFontSubstitutes();

    const SettingsLocation settingsLocation = systemSettingsLocation();
    const std::filesystem::path iniPath =
        settingsPath(QApplication::applicationFilePath().toStdString(), settingsLocation);
    SettingsFileCopy settingsFile = readSettingsFile(iniPath);
    const Settings saved = readSettings(settingsFile.file);
    // Before any window or message box, so every text is built in the language chosen.
    const InterfaceTranslation translation(interfaceLanguage(options.language, saved.language, desktopLanguage()));
    if (!translation.loaded())
        std::fputs("padscope: the English translation cannot be loaded; using Japanese\n", stderr);
    std::optional<SoundFontSet> synthFonts = pickSoundFonts(options.soundFonts, saved.soundFont);
    {
        const std::lock_guard lock(startFonts().mutex);
        startFonts().fonts = synthFonts;
    }

    FailureMessages failures;
    ChainedInput input;
    input.append(std::make_unique<RtMidiInput>());
    if (jack)
        input.append(std::make_unique<JackMidiInput>(jack));
    MainWindow window(MainWindowServices{
        *output,
        failures,
        options.sleep,
        desktopLinkOpener(),
        saved,
        [&](const Settings& settings) {
            // A file that could not be read at the start is left as it is.
            if (!saveSettings(settingsFile, settings, iniPath, settingsLocation))
                failures.report({settingsLocation.configRoot.empty() && !settingsFile.unreadable
                                     ? Failure::SettingsNotSavedNoUserFolder
                                     : Failure::SettingsNotSaved,
                                 iniPath.string()});
        },
        {std::string(kBuiltInSynthName), std::move(synthFonts),
         [&output](std::vector<std::filesystem::path> files, SoundFontsLoaded done) {
             return output->loadSoundFonts(std::move(files), std::move(done));
         },
         planKits},
        translation.language(),
    });
    const AudioFailureReporter audioFailures(*output, failures);
    // Asked to end from outside: the window closes as its close button does,
    // then the loop ends even if a message box of the window is still open.
    const TerminationRequests terminationRequests([&window] {
        window.close();
        QCoreApplication::exit(0);
    });
    window.attachInput(input);
    // What start-up met is shown before the window, each box waited for.
    failures.showWaiting();
    window.show();
    failures.showOver(window);
    if (options.shown)
        QTimer::singleShot(0, &window, options.shown);
    if (options.quitWhenShown) {
        QTimer::singleShot(0, &window, &QWidget::close);
        QTimer::singleShot(0, qApp, &QApplication::quit);
    }
    const int status = QApplication::exec();
    // Such as the settings file that could not be saved at close.
    failures.showWaiting();
    return status;
}

}  // namespace padscope
