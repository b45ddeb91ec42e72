// Costs of the built-in synth port: opening it until the SoundFont is read
// (on the port's worker thread), changing the kit, and turning a pad press into its first block
// of audio.
#include "core/midi/chained_output.h"
#include "core/synth/fluid/fluid_synth_output.h"
#include "core/failure.h"
#include "core/midi/port_session.h"
#include "core/midi/press_messages.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <future>
#include <span>
#include <vector>

using namespace padscope;

namespace {

void openAndReset(benchmark::State& state, bool dynamicLoading)
{
    const auto fonts = findSoundFonts(standardSoundFontSearch());
    if (!fonts) {
        state.SkipWithError("no General MIDI SoundFont installed");
        return;
    }
    FluidSynthOutput synth(*fonts, {SynthAudio::Offline, dynamicLoading});
    for (auto _ : state) {
        if (!synth.open(0)) {
            state.SkipWithError("the synth port did not open");
            return;
        }
        synth.send(kGsReset);
        if (!synth.waitUntilLoaded()) {
            state.SkipWithError("the SoundFont did not load");
            return;
        }
        synth.close();
    }
}

void BM_OpenWithDynamicLoading(benchmark::State& state) { openAndReset(state, true); }
void BM_OpenLoadingWholeFont(benchmark::State& state) { openAndReset(state, false); }

// An offline synth, opened, GS-reset and loaded; nothing (and the benchmark skipped)
// when there is no SoundFont or it does not open.
std::unique_ptr<FluidSynthOutput> openOfflineSynth(benchmark::State& state)
{
    const auto fonts = findSoundFonts(standardSoundFontSearch());
    if (!fonts) {
        state.SkipWithError("no General MIDI SoundFont installed");
        return nullptr;
    }
    auto synth = std::make_unique<FluidSynthOutput>(*fonts, SynthOptions{SynthAudio::Offline, true});
    if (!synth->open(0)) {
        state.SkipWithError("the synth port did not open");
        return nullptr;
    }
    synth->send(kGsReset);
    // Until then messages only queue up, which would be all that is timed.
    if (!synth->waitUntilLoaded()) {
        state.SkipWithError("the SoundFont did not load");
        return nullptr;
    }
    return synth;
}

void BM_PressToFirstBlock(benchmark::State& state)
{
    const auto synth = openOfflineSynth(state);
    if (!synth)
        return;
    const auto press = pressMessages(defaultControllerValues(), 36, 0, 1);
    std::vector<float> left(64), right(64);
    for (auto _ : state) {
        for (const auto& word : press)
            synth->send(word);
        synth->render(left, right);
        benchmark::DoNotOptimize(left.data());
        synth->send(releaseMessage(36));
        synth->send(shortMessage(0xB9, 120));  // All Sound Off: every voice stops at once
    }
}

// Presses pad 38 and lets it go through `send`, again and again, rendering
// every 32 presses as an audio output would, so earlier voices sound on.
template <typename Send>
void pressRepeatedly(benchmark::State& state, FluidSynthOutput& synth, Send send)
{
    const auto press = pressMessages(defaultControllerValues(), 38, 0, 1);
    std::vector<float> left(1024), right(1024);
    int presses = 0;
    for (auto _ : state) {
        for (const auto& message : press)
            send(message);
        send(releaseMessage(38));
        if (++presses % 32 == 0) {
            state.PauseTiming();
            synth.render(left, right);
            state.ResumeTiming();
        }
    }
}

// What a pad press and its release cost the GUI thread on the synth path,
// the same press repeated as a user trying one pad would, with the voices of
// earlier presses still sounding.
void BM_PressOnSynthPath(benchmark::State& state)
{
    const auto synth = openOfflineSynth(state);
    if (!synth)
        return;
    pressRepeatedly(state, *synth, [&synth](std::span<const std::uint8_t> message) { synth->send(message); });
}

// The same press from the port session down, through the chain of backends
// as the program builds it, to the synth: every layer a press crosses below
// the window.
void BM_PressThroughPortSession(benchmark::State& state)
{
    const auto fonts = findSoundFonts(standardSoundFontSearch());
    if (!fonts) {
        state.SkipWithError("no General MIDI SoundFont installed");
        return;
    }
    FluidSynthOutput* synth = nullptr;
    ChainedOutput chain;
    chain.append(ChainedOutput::Factory([&fonts, &synth] {
        auto made = std::make_unique<FluidSynthOutput>(*fonts, SynthOptions{SynthAudio::Offline, true});
        synth = made.get();
        return made;
    }));
    struct NoNotice final : Notifier {
        void report(FailureReport) override {}
    } notifier;
    PortSession session(chain, notifier, {});
    session.countPorts();
    session.openRemembered(0, "Padscope GS Synth");
    if (!synth || !synth->waitUntilLoaded()) {
        state.SkipWithError("the SoundFont did not load");
        return;
    }
    pressRepeatedly(state, *synth, [&session](std::span<const std::uint8_t> message) { session.send(message); });
}

// With dynamic loading a kit's samples are read when its Program Change
// arrives, and the previous kit's are dropped. The port's worker does it;
// the sender only hands the message over. Timed: the whole change.
void BM_KitChange(benchmark::State& state)
{
    const auto synth = openOfflineSynth(state);
    if (!synth)
        return;
    const int kits[2] = {0, static_cast<int>(state.range(0))};
    int next = 1;
    for (auto _ : state) {
        synth->send(programChangeMessage(kits[next]));
        synth->waitUntilLoaded();
        next = 1 - next;
    }
}

}  // namespace

// Choosing a SoundFont: what the caller's thread (the GUI's) spends asking,
// with `untilPlayed` also the time until the worker plays the new font,
// which the GUI thread would spend if it loaded the font itself. The two
// Debian fonts take turns, so every request loads one.
void chooseSoundFont(benchmark::State& state, bool untilPlayed)
{
    auto synth = openOfflineSynth(state);
    if (!synth)
        return;
    const std::vector<std::filesystem::path> fonts{"/usr/share/sounds/sf2/FluidR3_GM.sf2",
                                                   "/usr/share/sounds/sf2/FluidR3_GS.sf2"};
    std::size_t next = 0;
    for (auto _ : state) {
        std::promise<bool> played;
        std::future<bool> answer = played.get_future();
        const auto start = std::chrono::steady_clock::now();
        synth->loadSoundFonts({fonts[next++ % fonts.size()]},
                              [&played](const auto& failure) { played.set_value(!failure); });
        auto asked = std::chrono::steady_clock::now();
        if (!answer.get()) {
            state.SkipWithError("the SoundFont did not load");
            return;
        }
        if (untilPlayed)
            asked = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(asked - start).count());
    }
}

void BM_ChooseSoundFontCallerTime(benchmark::State& state) { chooseSoundFont(state, false); }
void BM_ChooseSoundFontUntilPlayed(benchmark::State& state) { chooseSoundFont(state, true); }

BENCHMARK(BM_ChooseSoundFontCallerTime)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_ChooseSoundFontUntilPlayed)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
// TR-909 is made of a stand-in where the font lacks it, as FluidR3 does.
BENCHMARK(BM_KitChange)->Arg(25)->Arg(30)->Arg(48)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenWithDynamicLoading)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenLoadingWholeFont)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PressToFirstBlock)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PressOnSynthPath)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PressThroughPortSession)->Unit(benchmark::kMicrosecond);
