// How the settings file's read grows with the file: many sections, or many
// lines in one section. Both should grow in step with the file's size. And
// what one save of the program's own file costs, written to disk.

#include "core/settings/ini_file.h"
#include "core/settings/settings.h"
#include "core/settings/settings_file.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string manySections(long count)
{
    std::string text;
    for (long i = 0; i < count; ++i)
        text += "[s" + std::to_string(i) + "]\r\nk=1\r\n";
    return text;
}

void parseManySections(benchmark::State& state)
{
    const std::string text = manySections(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(padscope::IniFile::parse(text));
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<long>(text.size()));
}
BENCHMARK(parseManySections)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void parseManyLines(benchmark::State& state)
{
    std::string text = "[window]\r\n";
    for (long i = 0; i < state.range(0); ++i)
        text += "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    for (auto _ : state)
        benchmark::DoNotOptimize(padscope::IniFile::parse(text));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(parseManyLines)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// Saves the file the program writes at close, over the one before, in a
// fresh folder under the temporary folder ($TMPDIR picks the file system).
void saveProgramFile(benchmark::State& state)
{
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "padscope-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const fs::path path = fs::path(pattern) / "padscope.ini";
    padscope::IniFile file;
    padscope::writeSettings(file, padscope::Settings{});
    for (auto _ : state) {
        if (!padscope::saveSettingsFile(path, file)) {
            state.SkipWithError("the save failed");
            break;
        }
    }
    fs::remove_all(pattern);
}
BENCHMARK(saveProgramFile)->Unit(benchmark::kMicrosecond);

}  // namespace
