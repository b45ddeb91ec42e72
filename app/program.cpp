#include "program.h"

#include "about_box.h"
#include "audio_system.h"
#include "built_in_synth.h"
#include "chained_output.h"
#include "fonts.h"
#include "main_window.h"
#include "message_box_notifier.h"
#include "on_demand_output.h"
#include "pending_output.h"
#include "rtmidi_output.h"
#include "settings_file.h"
#include "synth_availability.h"

#include <QApplication>
#include <QTimer>

namespace padscope {

int runProgram(const ProgramOptions& options)
{
    QApplication::setApplicationName(QStringLiteral("Padscope"));
    QApplication::setApplicationVersion(QStringLiteral(PADSCOPE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(PADSCOPE_APP_ID));
    // The ports are listed while the window is being built. The built-in
    // synth is listed when it can play; FluidSynth is loaded only when its
    // port opens, and then on a thread of its own.
    quietAudioSystem();
    ChainedOutput output;
    output.append(std::make_unique<PendingOutput>([]() -> std::unique_ptr<MidiOutput> {
        if (!builtInSynthFonts())
            return nullptr;
        return std::make_unique<OnDemandOutput>(std::string(kBuiltInSynthName), &loadBuiltInSynth);
    }));
    output.append(std::make_unique<PendingOutput>([] { return std::make_unique<RtMidiOutput>(); }));

    installFontSubstitutes();

    const SettingsLocation settingsLocation = systemSettingsLocation();
    const std::filesystem::path iniPath =
        settingsPath(QApplication::applicationFilePath().toStdString(), settingsLocation);
    IniFile settingsFile = loadSettingsFile(iniPath);

    MessageBoxNotifier notifier;
    MainWindow window(MainWindowServices{
        output,
        notifier,
        options.sleep,
        desktopLinkOpener(),
        readSettings(settingsFile),
        [&](const Settings& settings) {
            writeSettings(settingsFile, settings);
            if (!saveSettingsFile(iniPath, settingsFile, settingsLocation))
                notifier.showMessage(saveFailedText(iniPath, settingsLocation));
        },
    });
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
