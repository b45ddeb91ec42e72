// Padscope: auditions the drum sounds of a GS or XG sound module.

#include "about_box.h"
#include "chained_output.h"
#include "fonts.h"
#include "main_window.h"
#include "message_box_notifier.h"
#include "rtmidi_output.h"
#include "settings_file.h"
#ifdef PADSCOPE_HAVE_FLUIDSYNTH
#include "fluid_synth_output.h"
#endif

#include <QApplication>

#include <thread>

int main(int argc, char* argv[])
{
    using namespace padscope;

    // No MIDI or audio library may launch a JACK server on its own.
    qputenv("JACK_NO_START_SERVER", "1");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Padscope"));
    installFontSubstitutes();

    const std::filesystem::path iniPath =
        settingsPath(QApplication::applicationFilePath().toStdString());
    IniFile settingsFile = loadSettingsFile(iniPath);

    ChainedOutput output;
#ifdef PADSCOPE_HAVE_FLUIDSYNTH
    output.append(makeBuiltInSynth());
#endif
    output.append(std::make_unique<RtMidiOutput>());

    MessageBoxNotifier notifier;
    MainWindow window(MainWindowServices{
        output,
        notifier,
        [](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); },
        desktopLinkOpener(),
        readSettings(settingsFile),
        [&](const Settings& settings) {
            writeSettings(settingsFile, settings);
            if (!saveSettingsFile(iniPath, settingsFile))
                notifier.showMessage(saveFailedText(iniPath));
        },
    });
    window.show();
    return QApplication::exec();
}
