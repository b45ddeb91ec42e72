// After the sound server came back once: what a later failure is called, and
// what becomes of the voices of an output that died while idle.
#include "core/midi/press_messages.h"
#include "core/synth/fluid/fluid_synth_output.h"
#include "testing/pulse_server.h"
#include "testing/wait_until.h"

#include <gtest/gtest.h>

#include <fluidsynth.h>

#include <chrono>
#include <cstdlib>
#include <string>

using namespace padscope;
using namespace std::chrono_literals;

namespace {

class SynthRecovery : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::PulseServer::installed())
            GTEST_SKIP() << "pulseaudio is not installed (Debian: apt install pulseaudio pulseaudio-utils)";
        fonts_ = findSoundFonts(standardSoundFontSearch());
        if (!fonts_)
            GTEST_SKIP() << "no General MIDI SoundFont installed (Debian: apt install fluid-soundfont-gm)";
        if (!server_.start())
            GTEST_SKIP() << "the private PulseAudio server could not start";
        // No JACK server: the synth's first output is PulseAudio.
        ::setenv("JACK_DEFAULT_SERVER", ("padscope-none-" + std::to_string(::getpid())).c_str(), 1);
        ::setenv("PULSE_SERVER", server_.address().c_str(), 1);
    }

    test::PulseServer server_;
    std::optional<SoundFontSet> fonts_;
};

}  // namespace

// "The server has ended" only for the output that was lost last: once one
// was opened again, a server that cannot be reached is called so.
TEST_F(SynthRecovery, LaterFailureAfterARecoveryIsCannotConnect)
{
    FluidSynthEngine engine(*fonts_, {}, processJackServer());
    ASSERT_TRUE(engine.load());
    ASSERT_EQ(engine.startAudio(), std::nullopt);
    ASSERT_EQ(engine.driver(), "pulseaudio");
    server_.kill();
    ASSERT_TRUE(waitUntil([&] { return engine.outputDead(); }, 20s));
    engine.stopAudio(true);
    const std::optional<AudioFailure> lost = engine.startAudio();
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->output, AudioOutputKind::PulseAudio);
    EXPECT_EQ(lost->fault, AudioFault::ServerGone);

    ASSERT_TRUE(server_.start());
    ASSERT_EQ(engine.startAudio(), std::nullopt);
    engine.stopAudio(false);  // stopped while idle, alive
    server_.kill();
    const std::optional<AudioFailure> later = engine.startAudio();
    ASSERT_TRUE(later);
    EXPECT_EQ(later->output, AudioOutputKind::PulseAudio);
    EXPECT_EQ(later->fault, AudioFault::ServerUnreachable);
    engine.release();
}

// A held note keeps a live output going; on a dead one its voice would never
// end, so the idle stop cuts it.
TEST_F(SynthRecovery, IdleStopOfADeadOutputCutsItsVoices)
{
    SynthOptions options;
    options.idleStop = 300ms;
    options.keepJackAudio = false;
    FluidSynthOutput synth(*fonts_, options);
    ASSERT_TRUE(synth.open(0));
    synth.send(kGsReset);
    ASSERT_TRUE(synth.waitUntilLoaded());
    for (const auto& word : pressMessages(defaultControllerValues(), 36, 0, 2))
        synth.send(word);
    ASSERT_TRUE(synth.waitForAudio());
    server_.kill();
    const auto voices = [&] { return fluid_synth_get_active_voice_count(synth.synth()); };
    EXPECT_TRUE(waitUntil([&] { return synth.audioDriver().empty() && voices() == 0; }, 20s))
        << "output " << synth.audioDriver() << ", " << voices() << " voices";
}
