// How long the drum name table takes to caption the pads and to be listed whole.

#include "drum_names.h"
#include "kits.h"

#include <benchmark/benchmark.h>

#include <sstream>

namespace {

// What a kit or map change costs: the names of all 128 pads.
void captionAllPads(benchmark::State& state)
{
    int button = 0;
    for (auto _ : state) {
        const auto& kit = padscope::kKitButtons[button];
        for (int note = 0; note < padscope::kNoteCount; ++note)
            benchmark::DoNotOptimize(padscope::drumName(kit.program, note, padscope::kDefaultMap));
        button = (button + 1) % static_cast<int>(padscope::kKitButtons.size());
    }
    state.SetItemsProcessed(state.iterations() * padscope::kNoteCount);
}
BENCHMARK(captionAllPads);

void listWholeTable(benchmark::State& state)
{
    for (auto _ : state) {
        std::ostringstream out;
        padscope::writeDrumTable(out);
        benchmark::DoNotOptimize(out.str().size());
    }
}
BENCHMARK(listWholeTable)->Unit(benchmark::kMillisecond);

}  // namespace
