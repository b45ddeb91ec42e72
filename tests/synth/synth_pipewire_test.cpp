// Under PipeWire's JACK (run by pipewire_jack.sh): PipeWire suspends the
// sound device only once no client is active, so the synth's JACK client
// comes and goes as the output does on PulseAudio.
#include "core/midi/jack_detection.h"
#include "core/midi/press_messages.h"
#include "core/synth/fluid/fluid_synth_output.h"
#include "testing/wait_until.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <thread>

using namespace padscope;
using namespace std::chrono_literals;

TEST(SynthPipeWireJack, ClientJoinsAtTheFirstNoteAndLeavesAfterASilence)
{
    if (!jackIsPipeWire())
        GTEST_SKIP() << "not run under pw-jack";
    const auto fonts = findSoundFonts(standardSoundFontSearch());
    if (!fonts)
        GTEST_SKIP() << "no General MIDI SoundFont installed (Debian: apt install fluid-soundfont-gm)";
    const auto press = [](FluidSynthOutput& synth, int note) {
        for (const auto& word : pressMessages(defaultControllerValues(), note, 0, 2))
            synth.send(word);
        synth.send(releaseMessage(note));
    };
    // The program's own options, but for a short idle time.
    FluidSynthOutput synth(*fonts, {SynthAudio::Device, true, 300ms});
    ASSERT_TRUE(synth.open(0));
    ASSERT_TRUE(synth.waitUntilLoaded());
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(synth.audioDriver(), "") << "the JACK client joined before any note";
    for (int note : {36, 38}) {
        press(synth, note);
        ASSERT_TRUE(synth.waitForAudio());
        EXPECT_EQ(synth.audioDriver(), "jack");
        EXPECT_TRUE(waitUntil([&synth] { return synth.audioDriver().empty(); }, 20s))
            << "the JACK client stays after a silence";
    }
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
