#include "program.h"

#include "about_box.h"
#include "audio_failure_message.h"
#include "audio_log.h"
#include "built_in_synth.h"
#include "chained_output.h"
#include "fonts.h"
#include "main_window.h"
#include "message_box_notifier.h"
#include "rtmidi_input.h"
#include "rtmidi_output.h"
#include "settings_file.h"
#include "synth_availability.h"
#include "termination_requests.h"
#include "version.h"

#include <QApplication>
#include <QTimer>

namespace padscope {

std::unique_ptr<MidiOutput> startListingPorts()
{
    quietAudioSystem();
    auto output = std::make_unique<ChainedOutput>();
    output->append([]() -> std::unique_ptr<MidiOutput> {
        auto fonts = builtInSynthFonts();
        if (!fonts)
            return nullptr;
        return builtInSynthPort(std::move(*fonts));
    });
    output->append([] { return std::make_unique<RtMidiOutput>(); });
    return output;
}

int runProgram(ProgramOptions options)
{
    QApplication::setApplicationName(QStringLiteral("Padscope"));
    QApplication::setApplicationVersion(QString::fromLatin1(programVersion()));
    QGuiApplication::setDesktopFileName(QStringLiteral(PADSCOPE_APP_ID));
    const std::unique_ptr<MidiOutput> output = options.outputs ? std::move(options.outputs) : startListingPorts();

    installFontSubstitutes();

    const SettingsLocation settingsLocation = systemSettingsLocation();
    const std::filesystem::path iniPath =
        settingsPath(QApplication::applicationFilePath().toStdString(), settingsLocation);
    IniFile settingsFile = loadSettingsFile(iniPath);

    MessageBoxNotifier notifier;
    RtMidiInput input;
    MainWindow window(MainWindowServices{
        *output,
        notifier,
        options.sleep,
        desktopLinkOpener(),
        readSettings(settingsFile),
        [&](const Settings& settings) {
            writeSettings(settingsFile, settings);
            if (!saveSettingsFile(iniPath, settingsFile, settingsLocation))
                notifier.notify(settingsLocation.configRoot.empty() ? Failure::SettingsNotSavedNoUserFolder
                                                                    : Failure::SettingsNotSaved,
                                iniPath.string());
        },
    });
    const AudioFailureReporter audioFailures(*output, window);
    // Asked to end from outside: the window closes as its close button does,
    // then the loop ends even if a message box of the window is still open.
    const TerminationRequests terminationRequests([&window] {
        window.close();
        QCoreApplication::exit(0);
    });
    window.attachInput(input);
    window.show();
    if (options.shown)
        QTimer::singleShot(0, &window, options.shown);
    if (options.quitWhenShown) {
        QTimer::singleShot(0, &window, &QWidget::close);
        QTimer::singleShot(0, qApp, &QApplication::quit);
    }
    return QApplication::exec();
}

}  // namespace padscope
