// A bare Qt window with one label in the program's Japanese font that quits
// once shown: the baseline for start-up timing. Prints the wall-clock time
// (ns) at which it was shown.
#include "ui/fonts.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    padscope::installFontSubstitutes();
    QWidget window;
    window.resize(810, 636);
    QLabel label(QStringLiteral("音源の変更"), &window);
    label.setFont(padscope::uiFont(12));
    window.show();
    QTimer::singleShot(0, &app, [] {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("shown %lld\n",
                    static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        std::fflush(stdout);
        QApplication::quit();
    });
    return QApplication::exec();
}
