// The whole program up to its first shown window, then out: for start-up
// timing. The GS Reset waits are skipped so that they do not dominate.
// Prints the wall-clock time (ns) at which the window was shown.
//   padscope-startup-probe [--play-kit]
// --play-kit: then presses and releases all 128 pads of the first kit, one
// every 20 ms, waits 2 s for the sound to end, and prints the memory the
// process holds ("memory" line, kB: peak, resident, of it shared memory such
// as a JACK server's) before it closes the window.
#include "bench/process_status.h"
#include "app/program.h"

#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

// Without QtTest, which the program does not load: it would count in the
// memory measured.
void wait(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void click(QPushButton* pad, QEvent::Type type)
{
    const QPointF centre = QRectF(pad->rect()).center();
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, centre, pad->mapToGlobal(centre), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(pad, &event);
}

void playFirstKit()
{
    QWidget* window = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == QLatin1String("Form1"))
            window = top;
    if (!window)
        return;
    for (int note = 1; note <= 128; ++note) {
        if (auto* pad = window->findChild<QPushButton*>(QStringLiteral("Button%1").arg(note))) {
            click(pad, QEvent::MouseButtonPress);
            wait(10);
            click(pad, QEvent::MouseButtonRelease);
            wait(10);
        }
    }
    wait(2000);
    std::printf("memory peak %ld resident %ld shared %ld anonymous %ld files %ld\n", statusKilobytes("VmHWM"),
                statusKilobytes("VmRSS"), statusKilobytes("RssShmem"), statusKilobytes("RssAnon"),
                statusKilobytes("RssFile"));
    std::fflush(stdout);
    window->close();
}

}  // namespace

int main(int argc, char* argv[])
{
    const bool playKit = argc > 1 && std::strcmp(argv[1], "--play-kit") == 0;
    qputenv("JACK_NO_START_SERVER", "1");
    // As the program does: listed while Qt starts.
    std::unique_ptr<padscope::MidiOutput> outputs = padscope::startListingPorts();
    QApplication app(argc, argv);
    return padscope::runProgram({
        [](std::chrono::milliseconds) {},
        !playKit,
        [playKit] {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            std::printf("shown %lld\n",
                        static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            std::fflush(stdout);
            if (playKit)
                QTimer::singleShot(0, &playFirstKit);
        },
        std::move(outputs),
        std::nullopt,
        std::nullopt,
    });
}
