// Peak memory of the built-in synth: opens the port, plays every note of one
// kit and prints the process's high-water mark. Run it once per mode, since
// the mark only ever grows:
//
//   synth_memory              dynamic sample loading (as the program does)
//   synth_memory --static     the whole SoundFont loaded at open
//   synth_memory --audio      through the platform's audio output
//   synth_memory --audio --linger 20
//                             then stays open, idle, for 20 s (bench/idle_cpu.sh)
#include "core/synth/fluid/fluid_synth_output.h"
#include "core/midi/press_messages.h"
#include "bench/process_status.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

using namespace padscope;

namespace {

void report(const char* stage)
{
    std::printf("%-22s VmHWM %7ld kB   VmRSS %7ld kB\n", stage, statusKilobytes("VmHWM"),
                statusKilobytes("VmRSS"));
}

}  // namespace

int main(int argc, char** argv)
{
    SynthOptions options{SynthAudio::Offline, true};
    int lingerSeconds = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--linger" && i + 1 < argc) {
            lingerSeconds = std::stoi(argv[++i]);
        } else if (arg == "--static") {
            options.dynamicSampleLoading = false;
        } else if (arg == "--audio") {
            options.audio = SynthAudio::Device;
        } else {
            std::fprintf(stderr, "usage: %s [--static] [--audio] [--linger SECONDS]\n", argv[0]);
            return 2;
        }
    }
    const auto fonts = findSoundFonts(standardSoundFontSearch());
    if (!fonts) {
        std::fprintf(stderr, "no General MIDI SoundFont found\n");
        return 1;
    }
    std::printf("SoundFont: %s%s\n", fonts->base.c_str(),
                fonts->overlays.empty() ? "" : (" + " + fonts->overlays.front().string()).c_str());
    std::printf("sample loading: %s, audio: %s\n", options.dynamicSampleLoading ? "dynamic" : "whole font",
                options.audio == SynthAudio::Device ? "device" : "offline");
    report("before open");

    FluidSynthOutput synth(*fonts, options);
    const auto start = std::chrono::steady_clock::now();
    if (!synth.open(0)) {
        std::fprintf(stderr, "the synth port did not open\n");
        return 1;
    }
    synth.send(kGsReset);
    const auto opened = std::chrono::steady_clock::now();
    synth.waitUntilLoaded();
    const auto loaded = std::chrono::steady_clock::now();
    std::printf("open + GS Reset: %.1f ms on the caller's thread, SoundFonts read after %.1f ms\n",
                std::chrono::duration<double, std::milli>(opened - start).count(),
                std::chrono::duration<double, std::milli>(loaded - start).count());
    report("after open");

    // One kit, every note, as a user trying the pads one by one would.
    std::vector<float> left(4800), right(4800);
    for (int note = 0; note < 128; ++note) {
        for (const auto& word : pressMessages(defaultControllerValues(), note, 0, 1))
            synth.send(word);
        if (options.audio == SynthAudio::Offline)
            synth.render(left, right);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        synth.send(releaseMessage(note));
    }
    report("after one kit");
    if (!synth.audioDriver().empty())
        std::printf("audio driver: %s\n", synth.audioDriver().c_str());
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::seconds(lingerSeconds));
    synth.close();
    report("after close");
    return 0;
}
