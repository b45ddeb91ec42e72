// End to end: the built-in synth plays through a private PulseAudio server
// with a null sink, which the test records; the server dies and comes back.
#include "core/midi/press_messages.h"
#include "core/synth/fluid/fluid_synth_output.h"
#include "testing/jack_server.h"
#include "testing/pulse_server.h"

#include <gtest/gtest.h>

#include <fluidsynth.h>

#include <QCoreApplication>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

using namespace padscope;
using namespace std::chrono_literals;

namespace {

constexpr float kHeard = 0.01f;

// What the port reports, from its worker thread.
struct ReportedFailures {
    std::mutex mutex;
    std::vector<AudioFailure> failures;

    AudioFailureHandler handler()
    {
        return [this](const AudioFailure& failure) {
            const std::lock_guard lock(mutex);
            failures.push_back(failure);
        };
    }
    std::size_t count()
    {
        const std::lock_guard lock(mutex);
        return failures.size();
    }
};

class SynthPulse : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::PulseServer::installed())
            GTEST_SKIP() << "pulseaudio is not installed (Debian: apt install pulseaudio pulseaudio-utils)";
        auto fonts = findSoundFonts(standardSoundFontSearch());
        if (!fonts)
            GTEST_SKIP() << "no General MIDI SoundFont installed (Debian: apt install fluid-soundfont-gm)";
        if (!server_.start())
            GTEST_SKIP() << "the private PulseAudio server could not start";
        // No JACK server: the synth's first output is PulseAudio.
        ::setenv("JACK_DEFAULT_SERVER", ("padscope-none-" + std::to_string(::getpid())).c_str(), 1);
        ::setenv("PULSE_SERVER", server_.address().c_str(), 1);
        synth_ = std::make_unique<FluidSynthOutput>(*fonts);
        synth_->setAudioFailureHandler(reported_.handler());
        ASSERT_TRUE(synth_->open(0));
        synth_->send(kGsReset);
        ASSERT_TRUE(synth_->waitUntilLoaded());
    }

    void press(int note)
    {
        for (const auto& word : pressMessages(defaultControllerValues(), note, 0, 2))
            synth_->send(word);
        synth_->send(releaseMessage(note));
    }

    int voices() { return fluid_synth_get_active_voice_count(synth_->synth()); }

    test::PulseServer server_;
    ReportedFailures reported_;
    std::unique_ptr<FluidSynthOutput> synth_;
};

}  // namespace

// Presses go on while the server is away (once a second, as a user would try):
// their voices, never heard, do not pile up, the user hears once why nothing
// plays, and the first press after the server is back is heard.
TEST_F(SynthPulse, ServerKilledAndStartedAgainIsHeardAtTheNextPress)
{
    {
        test::SinkRecorder recorder(server_);
        ASSERT_TRUE(recorder.start());
        press(36);
        ASSERT_TRUE(synth_->waitForAudio());
        ASSERT_EQ(synth_->audioDriver(), "pulseaudio");
        EXPECT_TRUE(recorder.waitForPeak(kHeard, 5s)) << "loudest sample heard: " << recorder.peak();
    }

    server_.kill();
    for (int i = 0; i < 3; ++i) {
        std::this_thread::sleep_for(1s);
        press(38);
        EXPECT_FALSE(synth_->waitForAudio()) << "press " << i << " found an output while the server is away";
        EXPECT_EQ(voices(), 0) << "press " << i << ": voices of a dead output are kept";
    }
    {
        const std::lock_guard lock(reported_.mutex);
        ASSERT_EQ(reported_.failures.size(), 1u);
        EXPECT_EQ(reported_.failures[0].output, AudioOutputKind::PulseAudio);
        EXPECT_EQ(reported_.failures[0].fault, AudioFault::ServerGone);
    }

    ASSERT_TRUE(server_.start());
    test::SinkRecorder recorder(server_);
    ASSERT_TRUE(recorder.start());
    press(36);
    EXPECT_TRUE(synth_->waitForAudio());
    EXPECT_TRUE(recorder.waitForPeak(kHeard, 3s)) << "the first press after the server came back is not heard";

    // Killed again as soon as the output opens, with a press every 0.6 s:
    // each press finds the output dead and opens it again, and no voice is
    // left behind.
    for (int round = 0; round < 3; ++round) {
        server_.kill();
        ASSERT_TRUE(server_.start());
        std::this_thread::sleep_for(600ms);
        press(36);
        EXPECT_TRUE(synth_->waitForAudio()) << "round " << round;
        EXPECT_LE(voices(), 4) << "round " << round;
    }
    test::SinkRecorder last(server_);
    ASSERT_TRUE(last.start());
    press(38);
    EXPECT_TRUE(last.waitForPeak(kHeard, 3s)) << "loudest sample heard: " << last.peak();
    EXPECT_EQ(reported_.count(), 1u) << "told more than once for one opening";
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
