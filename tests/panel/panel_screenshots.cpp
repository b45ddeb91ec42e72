// Renders the pages of the main window and the about box headlessly to PNG files:
//   panel_screenshots <output folder> [en]
// writes pads-page.png, effects-page.png, drum-sound-page.png and
// about-box.png there; with "en", the English ones with "-en" before ".png".
#include "ui/about_box.h"
#include "ui/fonts.h"
#include "ui/interface_language.h"
#include "ui/main_window.h"
#include "tests/support/recording_output.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabWidget>

#include <cstdio>
#include <string_view>

using namespace padscope;

namespace {

bool save(QWidget& widget, const QDir& folder, const char* name, const QString& suffix)
{
    const QString path = folder.filePath(QString::fromLatin1(name) + suffix + QStringLiteral(".png"));
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "panel_screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutes();
    const bool english = argc == 3 && std::string_view(argv[2]) == "en";
    if (argc != 2 && !english) {
        std::fprintf(stderr, "usage: panel_screenshots <output folder> [en]\n");
        return 2;
    }
    const InterfaceTranslation translation(english ? Language::English : Language::Japanese);
    if (!translation.loaded()) {
        std::fprintf(stderr, "panel_screenshots: the English translation is missing\n");
        return 1;
    }
    const QString suffix = english ? QStringLiteral("-en") : QString();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists()) {
        std::fprintf(stderr, "panel_screenshots: no folder %s\n", argv[1]);
        return 2;
    }

    // The main window as a newcomer without a sound module sees it: on the
    // built-in synth's port (recorded here, so nothing sounds).
    RecordingOutput output({{"Padscope GS Synth", true}});
    RecordingNotifier notifier;
    MainWindow window(MainWindowServices{
        output, notifier, [](std::chrono::milliseconds) {}, [](const QUrl&, QWidget*) {}, Settings{},
        [](const Settings&) {}});
    window.show();
    QApplication::setActiveWindow(&window);
    QApplication::processEvents();
    // The picture keeps the default 810 x 636 frame even where the
    // offscreen screen is smaller and the window was fitted to it.
    window.resize(806, 632);
    // A pad played, so the status strip shows a sound name.
    if (auto* pad = window.findChild<QWidget*>(QStringLiteral("Button37"))) {
        const QPointF centre = QRectF(pad->rect()).center();
        QMouseEvent press(QEvent::MouseButtonPress, centre, pad->mapToGlobal(centre), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, centre, pad->mapToGlobal(centre), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(pad, &press);
        QApplication::sendEvent(pad, &release);
        pad->setFocus();  // and its keyboard focus mark shown
    }
    QApplication::processEvents();
    if (!save(window, folder, "pads-page", suffix))
        return 1;
    if (auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PageControl1")))
        pages->setCurrentIndex(1);
    // A bar with the keyboard focus, to show its mark.
    if (auto* bar = window.findChild<QWidget*>(QStringLiteral("ScrollBar2")))
        bar->setFocus();
    QApplication::processEvents();
    if (!save(window, folder, "effects-page", suffix))
        return 1;

    // The drum sound page with the pad played an octave down and panned left,
    // moved by keys as a user would.
    if (auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PageControl1")))
        pages->setCurrentIndex(2);
    const auto keys = [&window](const char* bar, Qt::Key key, int times) {
        QWidget* widget = window.findChild<QWidget*>(QString::fromLatin1(bar));
        for (int i = 0; widget && i < times; ++i) {
            QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(widget, &event);
        }
        if (widget)
            widget->setFocus();
    };
    keys("DrumSoundBar3", Qt::Key_PageUp, 3);
    keys("DrumSoundBar1", Qt::Key_Left, 12);
    QApplication::processEvents();
    if (!save(window, folder, "drum-sound-page", suffix))
        return 1;

    AboutBox& box = *window.aboutBox();
    box.showFromVersionLabel();
    QApplication::processEvents();
    return save(box, folder, "about-box", suffix) ? 0 : 1;
}
