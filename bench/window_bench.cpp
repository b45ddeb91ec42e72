// One pad press into the recording backend, one refreshPads, and the find
// dialog's list after a keystroke.
#include "fonts.h"
#include "main_window.h"
#include "recording_output.h"

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
