// End to end: the built-in synth plays through a private JACK server on the
// dummy backend, and a small JACK client of the test listens to its output.
#include "chained_output.h"
#include "jack_server.h"
#include "make_built_in_synth.h"
#include "press_messages.h"
#include "rtmidi_output.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <jack/jack.h>

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <string>
#include <thread>

using namespace padscope;
using namespace std::chrono_literals;

namespace {

constexpr const char* kCaptureName = "padscope-capture";

// Two audio inputs; remembers the loudest sample heard since the last clear.
class Capture {
public:
    Capture()
    {
        jack_status_t status{};
        client_ = jack_client_open(kCaptureName, JackNoStartServer, &status);
        if (!client_)
            return;
        inputs_[0] = jack_port_register(client_, "in_left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        inputs_[1] = jack_port_register(client_, "in_right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        jack_set_process_callback(client_, process, this);
        active_ = inputs_[0] && inputs_[1] && jack_activate(client_) == 0;
    }
    ~Capture()
    {
        if (client_)
            jack_client_close(client_);
    }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    bool active() const { return active_; }

    bool connectFrom(const std::string& client)
    {
        return jack_connect(client_, (client + ":left").c_str(), (std::string(kCaptureName) + ":in_left").c_str()) == 0 &&
               jack_connect(client_, (client + ":right").c_str(), (std::string(kCaptureName) + ":in_right").c_str()) == 0;
    }

    bool portExists(const std::string& name) const { return jack_port_by_name(client_, name.c_str()) != nullptr; }

    void clear() { peak_.store(0.0f); }
    float peak() const { return peak_.load(); }

    // Waits until the peak passes `level` or the time is up.
    bool waitForPeak(float level, std::chrono::milliseconds timeout) const
    {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            if (peak() > level)
                return true;
            std::this_thread::sleep_for(10ms);
        }
        return peak() > level;
    }

private:
    static int process(jack_nframes_t frames, void* arg)
    {
        auto* self = static_cast<Capture*>(arg);
        float loudest = self->peak_.load();
        for (jack_port_t* port : self->inputs_) {
            const auto* samples = static_cast<const float*>(jack_port_get_buffer(port, frames));
            for (jack_nframes_t i = 0; i < frames; ++i)
                loudest = std::max(loudest, std::abs(samples[i]));
        }
        self->peak_.store(loudest);
        return 0;
    }

    jack_client_t* client_ = nullptr;
    jack_port_t* inputs_[2] = {nullptr, nullptr};
    bool active_ = false;
    std::atomic<float> peak_{0.0f};
};

// The outputs as the program wires them: the built-in synth, then the
// platform's ports.
std::unique_ptr<ChainedOutput> programOutputs()
{
    auto chain = std::make_unique<ChainedOutput>();
    chain->append(makeBuiltInSynth());
    chain->append(std::make_unique<RtMidiOutput>());
    return chain;
}

int indexOf(const MidiOutput& out, const std::string& name)
{
    for (int i = 0; i < out.portCount(); ++i)
        if (out.portName(i) == name)
            return i;
    return -1;
}

}  // namespace

TEST(SynthJack, PadPressIsHeardThroughJackAlsoAfterTheAudioStoppedWhileIdle)
{
    if (!test::JackDummyServer::installed())
        GTEST_SKIP() << "jackd is not installed (Debian: apt install jackd2)";
    auto fonts = findSoundFonts(standardSoundFontSearch());
    if (!fonts)
        GTEST_SKIP() << "no General MIDI SoundFont installed (Debian: apt install fluid-soundfont-gm)";

    test::JackDummyServer server;
    if (!server.start())
        GTEST_SKIP() << test::serverUnavailable("the JACK dummy server");
    Capture capture;
    ASSERT_TRUE(capture.active()) << "the capture client could not join the server";

    const std::string client(kSynthJackClientName);
    const std::string left = client + ":left";
    const auto press = [&synthOut = capture](FluidSynthOutput& synth, int note) {
        synthOut.clear();
        for (std::uint32_t word : pressMessages(defaultControllerValues(), note, 0, 4))
            synth.sendShort(word);
    };
    // By default the JACK output starts with the port and stays: every note,
    // the first one included, goes straight into a running client.
    {
        FluidSynthOutput kept(*fonts, {SynthAudio::Device, true, 300ms});
        ASSERT_TRUE(kept.open(0));
        ASSERT_TRUE(kept.waitUntilLoaded());
        ASSERT_TRUE(waitUntil([&] { return capture.portExists(left); }, 10s)) << "no JACK client after the open";
        // Both ports registered and the client active before connecting.
        ASSERT_TRUE(waitUntil([&] { return kept.audioDriver() == "jack"; }, 10s));
        ASSERT_TRUE(capture.connectFrom(client));
        press(kept, 36);
        EXPECT_TRUE(capture.waitForPeak(0.01f, 3s)) << "loudest sample heard: " << capture.peak();
        kept.sendShort(releaseMessage(36));
        // Well past the idle time the client stays, handing JACK silence; the
        // next note is heard at once.
        std::this_thread::sleep_for(1500ms);
        EXPECT_TRUE(capture.portExists(left));
        EXPECT_EQ(kept.audioDriver(), "jack");
        press(kept, 38);
        EXPECT_TRUE(capture.waitForPeak(0.01f, 3s)) << "loudest sample heard after the silence: " << capture.peak();
        kept.sendShort(releaseMessage(38));
        kept.close();
        ASSERT_TRUE(waitUntil([&] { return !capture.portExists(left); }, 10s));
    }

    // With the idle stop asked for, as on the other outputs:
    FluidSynthOutput synth(*fonts, {SynthAudio::Device, true, 300ms, false});
    ASSERT_TRUE(synth.open(0));
    synth.sendSysex(kGsReset);
    ASSERT_TRUE(synth.waitUntilLoaded());
    EXPECT_EQ(synth.audioDriver(), "");
    EXPECT_FALSE(capture.portExists(left)) << "a JACK client is open before any note";

    // The first note starts the audio; the capture listens from then on.
    press(synth, 36);
    ASSERT_TRUE(synth.waitForAudio());
    EXPECT_EQ(synth.audioDriver(), "jack");
    ASSERT_TRUE(capture.connectFrom(client));
    synth.sendShort(releaseMessage(36));
    press(synth, 36);
    EXPECT_TRUE(capture.waitForPeak(0.01f, 3s)) << "loudest sample heard: " << capture.peak();
    synth.sendShort(releaseMessage(36));

    // Silence stops the audio and takes the client off the server; the next
    // note brings it back and is heard (a crash cymbal rings long enough for
    // the capture to connect again).
    ASSERT_TRUE(waitUntil([&] { return !capture.portExists(left); }, 20s)) << "the audio never stopped";
    EXPECT_EQ(synth.audioDriver(), "");
    press(synth, 49);
    ASSERT_TRUE(synth.waitForAudio());
    ASSERT_TRUE(capture.connectFrom(client));
    EXPECT_TRUE(capture.waitForPeak(0.01f, 3s)) << "loudest sample heard: " << capture.peak();
    synth.sendShort(releaseMessage(49));

    // Closing takes the synth's ports off the server, off the caller's thread.
    synth.close();
    EXPECT_TRUE(waitUntil([&] { return !capture.portExists(left); }, 10s));
    // Closed while its audio starts and while it is torn down: the destructor
    // waits for both.
    ASSERT_TRUE(synth.open(0));
    press(synth, 36);
    synth.close();
    ASSERT_TRUE(synth.open(0));
    press(synth, 36);
    ASSERT_TRUE(synth.waitForAudio());
    synth.close();
}

// A JACK server that dies under an open port, after which the port change
// opens the built-in synth (whose JACK check used to open a new client, and
// libjack then freed the old one): closing and quitting crash nothing.
TEST(SynthJackServerFaults, ServerKilledOrStoppedUnderAnOpenPortThenPortChangesAndClose)
{
    if (!test::JackDummyServer::installed() || !test::MidiDumpPeer::installed())
        GTEST_SKIP() << "jackd or jack_midi_dump is not installed";
    if (!findSoundFonts(standardSoundFontSearch()))
        GTEST_SKIP() << "no General MIDI SoundFont installed (Debian: apt install fluid-soundfont-gm)";
    for (int signal : {SIGKILL, SIGTERM}) {
        SCOPED_TRACE(signal == SIGKILL ? "SIGKILL" : "SIGTERM");
        test::JackDummyServer server;
        if (!server.start())
            GTEST_SKIP() << test::serverUnavailable("the JACK dummy server");
        test::MidiDumpPeer peer("padscope-victim");
        ASSERT_TRUE(peer.start());
        auto output = programOutputs();
        ASSERT_EQ(output->portName(0), "Padscope GS Synth");
        const int port = indexOf(*output, peer.portName());
        ASSERT_GE(port, 1);
        ASSERT_TRUE(output->open(port));
        output->sendSysex(kGsReset);
        ASSERT_EQ(peer.waitForEvents(1, 10000).size(), 1u);

        server.signal(signal);
        server.waitForExit();
        // Twice round the ports, as clicks on the port button would go.
        for (int i = 0; i < 2 * output->portCount(); ++i) {
            output->close();
            output->open((port + 1 + i) % output->portCount());
            output->reset();
            output->sendSysex(kGsReset);
            output->sendShort(shortMessage(kStatusNoteOn, 36, 100));
        }
        EXPECT_FALSE(output->open(port)) << "a port of the dead server opened";
        output->close();
        output.reset();
    }
}

// A stopped server (SIGSTOP) never answers: at start JACK counts as absent
// after a short wait, and a port open on it still closes.
TEST(SynthJackServerFaults, StoppedServerNeitherHoldsTheStartNorTheClose)
{
    if (!test::JackDummyServer::installed() || !test::MidiDumpPeer::installed())
        GTEST_SKIP() << "jackd or jack_midi_dump is not installed";
    {
        test::JackDummyServer server;
        if (!server.start())
            GTEST_SKIP() << test::serverUnavailable("the JACK dummy server");
        test::MidiDumpPeer peer("padscope-frozen");
        ASSERT_TRUE(peer.start());
        server.signal(SIGSTOP);
        auto output = programOutputs();
        EXPECT_EQ(indexOf(*output, peer.portName()), -1) << "ports of a stopped server are listed";
        if (output->portCount() > 0) {
            output->open(0);
            output->close();
        }
        output.reset();
        server.signal(SIGCONT);
    }
    {
        test::JackDummyServer server;
        if (!server.start())
            GTEST_SKIP() << test::serverUnavailable("the JACK dummy server");
        test::MidiDumpPeer peer("padscope-frozen");
        ASSERT_TRUE(peer.start());
        auto output = programOutputs();
        const int port = indexOf(*output, peer.portName());
        ASSERT_GE(port, 0);
        ASSERT_TRUE(output->open(port));
        server.signal(SIGSTOP);
        output->close();
        // The port change after it finds the server hung, not waiting again.
        output->open(port);
        output->open(0);
        output.reset();
        server.signal(SIGCONT);
    }
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return test::skipAwareExitCode(RUN_ALL_TESTS());
}
