// One pad press into the recording backend, one refreshPads, the find
// dialog's list after a keystroke, and a burst of incoming notes.
#include "ui/fonts.h"
#include "ui/main_window.h"
#include "tests/support/recording_output.h"
#include "tests/support/scripted_input.h"

#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

namespace {

using namespace padscope;

struct BenchWindow {
    RecordingOutput output{{{"Module", true}}};
    RecordingNotifier notifier;
    MainWindow window{MainWindowServices{output, notifier, {}, {}, Settings{}, {}}};
};

void BM_Press(benchmark::State& state)
{
    BenchWindow w;
    for (auto _ : state) {
        w.window.playCurrentNote();
        w.window.stopCurrentNote();
        w.output.clearEvents();
    }
}
BENCHMARK(BM_Press);

void BM_RefreshPads(benchmark::State& state)
{
    BenchWindow w;
    for (auto _ : state) {
        w.window.refreshPads();
        w.output.clearEvents();
    }
}
BENCHMARK(BM_RefreshPads);

// The find dialog's list after a keystroke: a name that finds a few dozen
// places, and one letter, which finds most of the table.
void BM_FindDialogKeystroke(benchmark::State& state)
{
    BenchWindow w;
    w.window.openFind();
    auto* text = w.window.findChild<QLineEdit*>(QStringLiteral("FindText"));
    const QString typed = state.range(0) ? QStringLiteral("e") : QStringLiteral("clap");
    for (auto _ : state) {
        text->setText(typed);
        text->clear();
    }
}
BENCHMARK(BM_FindDialogKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// 1,000 notes on channel 10 (Note On and Note Off, 2,000 messages) arriving
// all at once, with Thru on, taken by the shown window's event loop: the
// longest any other event of the window can wait behind such a burst.
void BM_IncomingBurst(benchmark::State& state)
{
    ScriptedInput input({"Source"});
    RecordingOutput output{{{"Module", true}}};
    RecordingNotifier notifier;
    Settings saved;
    saved.inputName = "Source";
    saved.thru = true;
    MainWindow window{MainWindowServices{output, notifier, {}, {}, saved, {}}};
    window.attachInput(input);
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            const std::uint8_t note = static_cast<std::uint8_t>(35 + i % 47);
            const std::uint8_t on[3] = {0x99, note, 100};
            const std::uint8_t off[3] = {0x89, note, 0};
            input.play(on);
            input.play(off);
        }
        QCoreApplication::processEvents();
        state.PauseTiming();
        output.clearEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_IncomingBurst)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
