// Latency of the first pad press after a silence longer than the built-in
// synth's idle time: from the press to the first sample of the note. Through
// JACK the audio output is kept running by default; "stop" as the third
// argument measures it stopped and started again, as on the other outputs;
// "kit" measures the first press after a kit change instead, each round
// switching between STANDARD 1 and the program given fourth (default 30,
// TR-909, which most fonts play from a stand-in).
// Run it through bench/first_press.sh, which starts the sound server.
//
// With a JACK server that has no playback ports of its own, this program
// offers two physical inputs, the synth connects to them, and the figure is
// the time until the note's first sample reaches the server. Otherwise (a
// PulseAudio server, say) it is the time until the audio output runs again,
// plus one period for the first block the synth hands over.
#include "core/synth/fluid/fluid_synth_output.h"
#include "testing/jack_capture.h"
#include "core/midi/jack_detection.h"
#include "core/midi/press_messages.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

using namespace padscope;
using namespace std::chrono_literals;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::stoi(argv[1]) : 15;
    const auto idle = std::chrono::milliseconds(argc > 2 ? std::stoi(argv[2]) : 300);
    const bool keepJackAudio = !(argc > 3 && std::string(argv[3]) == "stop");
    const bool kitChanges = argc > 3 && std::string(argv[3]) == "kit";
    const int otherKit = argc > 4 ? std::stoi(argv[4]) : 30;
    // PipeWire's JACK client leaves while idle all the same.
    const bool jackKept = keepJackAudio && !jackIsPipeWire();
    const auto fonts = findSoundFonts(standardSoundFontSearch());
    if (!fonts) {
        std::fprintf(stderr, "no General MIDI SoundFont found\n");
        return 1;
    }
    // Two physical inputs that note when they first hear something.
    test::JackCapture listener("padscope-listener", true);
    FluidSynthOutput synth(*fonts, {SynthAudio::Device, true, idle, keepJackAudio});
    if (!synth.open(0) || !synth.waitUntilLoaded()) {
        std::fprintf(stderr, "the synth did not open\n");
        return 1;
    }
    synth.send(kGsReset);
    PressMessages press = pressMessages(defaultControllerValues(), 36, 0, 4);
    const double period = 1000.0 * kAudioPeriodSize / kSynthSampleRate;
    std::vector<double> afterIdle, running;
    std::string driver;
    for (int round = 0; round < rounds; ++round) {
        if (kitChanges)
            press = pressMessages(defaultControllerValues(), 36, round % 2 ? 0 : otherKit, 4);
        // A silence longer than the idle time; the audio stops in it unless kept.
        std::this_thread::sleep_for(idle + 100ms);
        for (int wait = 0; !synth.audioDriver().empty() && wait < 3000; ++wait) {
            if (jackKept && synth.audioDriver() == "jack")
                break;
            std::this_thread::sleep_for(10ms);
        }
        for (bool warm : {false, true}) {
            if (listener.active())
                listener.arm();
            const auto start = std::chrono::steady_clock::now();
            const jack_time_t jackStart = listener.active() ? listener.now() : 0;
            for (const auto& message : press)
                synth.send(message);
            if (!synth.waitForAudio()) {
                std::fprintf(stderr, "the audio output did not start\n");
                return 1;
            }
            double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            if (listener.active()) {
                for (int wait = 0; listener.heardAt() == 0 && wait < 1000; ++wait)
                    std::this_thread::sleep_for(1ms);
                ms = listener.heardAt() ? (listener.heardAt() - jackStart) / 1000.0 : -1;
            } else {
                ms += period;
            }
            (warm ? running : afterIdle).push_back(ms);
            driver = synth.audioDriver();
            synth.send(releaseMessage(36));
            std::this_thread::sleep_for(50ms);
        }
    }
    const auto worst = [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); };
    std::printf("driver %s%s, %s, %d rounds, idle stop after %lld ms\n", driver.c_str(),
                jackKept && driver == "jack" ? " (kept running)" : "",
                listener.active() ? "first sample at the JACK server" : "audio running again + one period",
                rounds, static_cast<long long>(idle.count()));
    std::printf("first press after %s: median %.1f ms, worst %.1f ms\n", kitChanges ? "a kit change" : "idle",
                median(afterIdle), worst(afterIdle));
    std::printf("press while running:    median %.1f ms, worst %.1f ms\n", median(running), worst(running));
    return 0;
}
