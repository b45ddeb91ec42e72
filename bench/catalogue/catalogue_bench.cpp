// How long the drum name table takes to caption the pads, to be listed whole
// and to be searched by name.

#include "catalogue/drum_names.h"
#include "catalogue/kits.h"
#include "catalogue/sound_finder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

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

// The find dialog searches again on every keystroke: the answers to each
// prefix of a typed name, and to one letter, which finds the most.
const std::vector<std::string_view> kTyped{"c", "cl", "cla", "clap", "909", "tr909", "[88] k", "e"};

void findAsTyped(benchmark::State& state)
{
    const std::string_view text = kTyped[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(std::string(text));
    for (auto _ : state)
        benchmark::DoNotOptimize(padscope::findSounds(text));
}
BENCHMARK(findAsTyped)->DenseRange(0, static_cast<int>(kTyped.size()) - 1)->Unit(benchmark::kMicrosecond);

// Baseline: every entry of the offered kits read and lower-cased, then searched.
void findByScanningEveryEntry(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        std::size_t hits = 0;
        for (const auto& kit : padscope::kKitButtons)
            for (int map = 0; map < padscope::kMapCount; ++map)
                for (int note = 0; note < padscope::kNoteCount; ++note) {
                    std::string name(padscope::drumName(kit.program, note, map));
                    std::ranges::transform(name, name.begin(), [](unsigned char c) { return std::tolower(c); });
                    hits += name.find(kTyped[i]) != std::string::npos;
                }
        benchmark::DoNotOptimize(hits);
        i = (i + 1) % kTyped.size();
    }
}
BENCHMARK(findByScanningEveryEntry)->Unit(benchmark::kMicrosecond);

}  // namespace
