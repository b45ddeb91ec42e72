// The synth port's worker and queue, with an engine that records what the
// worker asks of it instead of playing.
#include "core/platform/bounded_call.h"
#include "core/midi/chained_output.h"
#include "tests/support/packed_words.h"
#include "core/midi/port_session.h"
#include "core/midi/press_messages.h"
#include "tests/support/recording_notifier.h"
#include "core/synth/synth_port.h"
#include "testing/wait_until.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>

using namespace padscope;

namespace {

// What every engine of one port was asked, in order.
struct EngineLog {
    std::mutex mutex;
    std::vector<std::vector<std::uint8_t>> played;
    int made = 0;
    int loaded = 0;
    int audioStarts = 0;
};

class FakeEngine final : public SynthEngine {
public:
    FakeEngine(EngineLog& log, std::optional<AudioFailure> audioFailure)
        : log_(log), audioFailure_(std::move(audioFailure))
    {
    }

    bool load() override { return record([this] { ++log_.loaded; }), true; }
    bool keepsAudio() const override { return false; }
    void play(std::span<const std::uint8_t> message) override
    {
        record([&] { log_.played.emplace_back(message.begin(), message.end()); });
    }
    void playOnWorker(const MidiMessage& message) override { play(message); }
    std::optional<FailureReport> replaceFonts(const std::vector<std::filesystem::path>&) override
    {
        return std::nullopt;
    }
    bool unloadRetiredFonts() override { return false; }
    std::optional<AudioFailure> startAudio() override
    {
        record([this] { ++log_.audioStarts; });
        if (!audioFailure_)
            running_ = true;
        return audioFailure_;
    }
    void stopAudio(bool) override { running_ = false; }
    bool audioRunning() const override { return running_; }
    std::string_view driver() const override { return running_ ? "fake" : ""; }
    bool outputDead() const override { return false; }
    void setSilent(bool) override {}
    bool silent() const override { return false; }
    Voices voices() override { return {}; }
    void allSoundsOff() override {}
    void release() override {}
    bool abandoned() const override { return false; }

private:
    template <typename F>
    void record(F f)
    {
        const std::lock_guard lock(log_.mutex);
        f();
    }

    EngineLog& log_;
    std::optional<AudioFailure> audioFailure_;
    bool running_ = false;
};

SynthPort::EngineFactory fakeEngines(EngineLog& log, std::optional<AudioFailure> audioFailure = std::nullopt)
{
    return [&log, audioFailure](const std::vector<std::filesystem::path>&) {
        {
            const std::lock_guard lock(log.mutex);
            ++log.made;
        }
        return std::make_unique<FakeEngine>(log, audioFailure);
    };
}

constexpr SynthOptions kOffline{SynthAudio::Offline, true};

}  // namespace

TEST(SynthPort, EngineMadeOnlyWhenOpenedAndOnlyTheLastOpeningIsPlayed)
{
    EngineLog log;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    const auto blocked = [&released, made = fakeEngines(log)](const std::vector<std::filesystem::path>& fonts) {
        released.wait();
        return made(fonts);
    };
    RecordingNotifier notifier;
    {
        SynthPort synth("Synth", kOffline, blocked);
        PortSession session(synth, notifier, {});
        session.countPorts();
        // A first run opens the port, closes it and opens it again.
        session.openRemembered(0, "none");
        EXPECT_EQ(session.portName(), "Synth");
        session.send(releaseMessage(36));
        EXPECT_EQ(log.made, 0);  // opening never waits for the engine
        release.set_value();
        session.send(releaseMessage(38));
        EXPECT_TRUE(synth.waitUntilLoaded());
        EXPECT_FALSE(synth.openFailedLate());
    }
    // The closed opening read no SoundFont, and none of its GS Reset played.
    EXPECT_EQ(log.loaded, 1);
    EXPECT_EQ(log.played, (std::vector<std::vector<std::uint8_t>>{{kGsReset.begin(), kGsReset.end()},
                                                                   {0x99, 36, 0},
                                                                   {0x99, 38, 0}}));
    EXPECT_TRUE(notifier.failures.empty());
}

TEST(SynthPort, EngineThatCannotBeHadIsAFailedOpenAfterTheResetWait)
{
    SynthPort synth("Synth", kOffline, [](const auto&) { return std::unique_ptr<SynthEngine>(); });
    RecordingNotifier notifier;
    // The reset wait is where the background work gets done.
    PortSession session(synth, notifier, [](std::chrono::milliseconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    });
    session.countPorts();
    session.openRemembered(0, "Synth");
    // Both opens of the start-up fail: the remembered one, and the fallback
    // that follows because no name could be read.
    EXPECT_EQ(notifier.failures, (std::vector<Failure>{Failure::PortOpenFailed, Failure::PortOpenFailed}));
    EXPECT_EQ(session.portName(), "");
}

// A handler set on the program's chain before the synth's port is even made
// hears its audio failure, once per opening, and nothing once taken back.
TEST(SynthPort, AudioFailureReachesTheChainsHandlerOncePerOpening)
{
    EngineLog log;
    ChainedOutput chain;
    chain.append(ChainedOutput::Factory([&log] {
        return std::make_unique<SynthPort>(
            "Synth", SynthOptions{},
            fakeEngines(log, AudioFailure{AudioOutputKind::PulseAudio, AudioFault::ServerUnreachable, ""}));
    }));
    std::mutex mutex;
    std::vector<AudioFault> heard;
    chain.setAudioFailureHandler([&](const AudioFailure& failure) {
        const std::lock_guard lock(mutex);
        heard.push_back(failure.fault);
    });
    const auto heardNow = [&] {
        const std::lock_guard lock(mutex);
        return heard;
    };
    const auto noteOn = shortMessage(kStatusNoteOn, 36, 100);
    const auto starts = [&log] {
        const std::lock_guard lock(log.mutex);
        return log.audioStarts;
    };
    for (int opening = 1; opening <= 2; ++opening) {
        ASSERT_TRUE(chain.open(0));
        chain.send(noteOn);
        ASSERT_TRUE(waitUntil([&] { return starts() == 2 * opening - 1; }, std::chrono::seconds(10)));
        chain.send(shortMessage(kStatusNoteOn, 38, 100));
        ASSERT_TRUE(waitUntil([&] { return starts() == 2 * opening; }, std::chrono::seconds(10)));
        EXPECT_EQ(heardNow(), std::vector<AudioFault>(static_cast<std::size_t>(opening),
                                                       AudioFault::ServerUnreachable));
    }
    chain.setAudioFailureHandler({});
    ASSERT_TRUE(chain.open(0));
    chain.send(noteOn);
    ASSERT_TRUE(waitUntil([&] { return starts() == 5; }, std::chrono::seconds(10)));
    EXPECT_EQ(heardNow().size(), 2u);
    chain.close();
}

// What is thrown on a thread of the program's own is caught there: a synth
// whose making throws is an opening that failed, a backend factory that
// throws adds no ports, and a bounded call hands the throw to its caller.
TEST(SynthPort, ThrowOnAThreadOfItsOwnEndsNoProgram)
{
    const auto throwing = [](const std::vector<std::filesystem::path>&) -> std::unique_ptr<SynthEngine> {
        throw std::runtime_error("no synth here");
    };
    ChainedOutput chain;
    chain.append(ChainedOutput::Factory([]() -> std::unique_ptr<MidiOutput> { throw std::runtime_error("no ports"); }));
    chain.append(ChainedOutput::Factory([&throwing] { return std::make_unique<SynthPort>("Synth", kOffline, throwing); }));
    ASSERT_EQ(chain.portCount(), 1);
    EXPECT_EQ(chain.portName(0), "Synth");
    ASSERT_TRUE(chain.open(0));
    chain.send(releaseMessage(36));
    EXPECT_TRUE(waitUntil([&chain] { return chain.openFailedLate(); }, std::chrono::seconds(10)));
    chain.send(releaseMessage(38));
    chain.close();

    EXPECT_THROW(runBounded([] { throw std::runtime_error("failed call"); }, std::chrono::seconds(10)),
                 std::runtime_error);
}
