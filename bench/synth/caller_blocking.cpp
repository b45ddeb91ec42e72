// How long the caller's thread (the program's GUI thread) is held by the
// built-in synth where it used to block: closing the port while its audio
// runs (window close, port change), opening it again, and destroying the
// output at exit. Run it through bench/first_press.sh, which starts the
// sound server.
#include "core/synth/fluid/fluid_synth_output.h"
#include "core/midi/press_messages.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace padscope;

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void print(const char* what, std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    std::printf("%-34s median %6.2f ms, worst %6.2f ms\n", what, v[v.size() / 2], v.back());
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::stoi(argv[1]) : 10;
    const auto fonts = findSoundFonts(standardSoundFontSearch());
    if (!fonts) {
        std::fprintf(stderr, "no General MIDI SoundFont found\n");
        return 1;
    }
    std::vector<double> closing, opening, destroying;
    std::string driver;
    for (int round = 0; round < rounds; ++round) {
        auto synth = std::make_unique<FluidSynthOutput>(*fonts);
        synth->open(0);
        for (int pass = 0; pass < 2; ++pass) {
            for (const auto& word : pressMessages(defaultControllerValues(), 36, 0, 4))
                synth->send(word);
            if (!synth->waitForAudio()) {
                std::fprintf(stderr, "the audio output did not start\n");
                return 1;
            }
            driver = synth->audioDriver();
            auto start = Clock::now();
            synth->close();
            closing.push_back(since(start));
            // A port change back to the synth: open, reset, GS Reset.
            start = Clock::now();
            synth->open(0);
            for (const MidiMessage& message : allNotesOffMessages())
                synth->send(message);
            synth->send(kGsReset);
            opening.push_back(since(start));
        }
        for (const auto& word : pressMessages(defaultControllerValues(), 36, 0, 4))
            synth->send(word);
        synth->waitForAudio();
        const auto start = Clock::now();
        synth.reset();
        destroying.push_back(since(start));
    }
    std::printf("driver %s, %d rounds\n", driver.c_str(), rounds);
    print("close while the audio runs:", closing);
    print("open + reset + GS Reset:", opening);
    print("destroy at exit (waits for close):", destroying);
    return 0;
}
