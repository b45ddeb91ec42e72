// One pad press into the recording backend, and one refreshPads.
#include "fonts.h"
#include "main_window.h"
#include "recording_output.h"

#include <QApplication>

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
