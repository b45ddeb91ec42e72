// End to end: the built-in synth plays through a private JACK server on the
// dummy backend, and a small JACK client of the test listens to its output.
#include "core/midi/chained_output.h"
#include "testing/jack_capture.h"
#include "tests/support/jack_test.h"
#include "core/synth/fluid/make_built_in_synth.h"
#include "core/midi/press_messages.h"
#include "core/midi/jack_midi.h"
#include "core/midi/rtmidi_output.h"
#include "testing/wait_until.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <string>
#include <thread>

using namespace padscope;
using namespace std::chrono_literals;

namespace {

// The outputs as the program wires them: the built-in synth, then the
// platform's ports.
std::unique_ptr<ChainedOutput> programOutputs()
{
    auto chain = std::make_unique<ChainedOutput>();
    chain->append(makeBuiltInSynth());
    chain->append(std::make_unique<RtMidiOutput>());
    chain->append(std::make_unique<JackMidiOutput>(std::make_shared<JackMidiClient>()));
    return chain;
}

int indexOf(const MidiOutput& out, const std::string& name)
{
    for (int i = 0; i < out.portCount(); ++i)
        if (out.portName(i) == name)
            return i;
    return -1;
}

// Each test runs against its own JACK server.
class SynthJack : public test::JackServerTest {};
class SynthJackServerFaults : public test::JackServerTest {};

}  // namespace

TEST_F(SynthJack, PadPressIsHeardThroughJackAlsoAfterTheAudioStoppedWhileIdle)
{
    auto fonts = findSoundFonts(standardSoundFontSearch());
    if (!fonts)
        GTEST_SKIP() << "no General MIDI SoundFont installed (Debian: apt install fluid-soundfont-gm)";

    test::JackCapture capture("padscope-capture", false);
    ASSERT_TRUE(capture.active()) << "the capture client could not join the server";

    const std::string client(kSynthJackClientName);
    const std::string left = client + ":left";
    const auto press = [&synthOut = capture](FluidSynthOutput& synth, int note) {
        synthOut.clear();
        for (const auto& word : pressMessages(defaultControllerValues(), note, 0, 4))
            synth.send(word);
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
        kept.send(releaseMessage(36));
        // Well past the idle time the client stays, handing JACK silence; the
        // next note is heard at once.
        std::this_thread::sleep_for(1500ms);
        EXPECT_TRUE(capture.portExists(left));
        EXPECT_EQ(kept.audioDriver(), "jack");
        press(kept, 38);
        EXPECT_TRUE(capture.waitForPeak(0.01f, 3s)) << "loudest sample heard after the silence: " << capture.peak();
        kept.send(releaseMessage(38));
        kept.close();
        ASSERT_TRUE(waitUntil([&] { return !capture.portExists(left); }, 10s));
    }

    // With the idle stop asked for, as on the other outputs:
    FluidSynthOutput synth(*fonts, {SynthAudio::Device, true, 300ms, false});
    ASSERT_TRUE(synth.open(0));
    synth.send(kGsReset);
    ASSERT_TRUE(synth.waitUntilLoaded());
    EXPECT_EQ(synth.audioDriver(), "");
    EXPECT_FALSE(capture.portExists(left)) << "a JACK client is open before any note";

    // The first note starts the audio; the capture listens from then on.
    press(synth, 36);
    ASSERT_TRUE(synth.waitForAudio());
    EXPECT_EQ(synth.audioDriver(), "jack");
    ASSERT_TRUE(capture.connectFrom(client));
    synth.send(releaseMessage(36));
    press(synth, 36);
    EXPECT_TRUE(capture.waitForPeak(0.01f, 3s)) << "loudest sample heard: " << capture.peak();
    synth.send(releaseMessage(36));

    // Silence stops the audio and takes the client off the server; the next
    // note brings it back and is heard (a crash cymbal rings long enough for
    // the capture to connect again).
    ASSERT_TRUE(waitUntil([&] { return !capture.portExists(left); }, 20s)) << "the audio never stopped";
    EXPECT_EQ(synth.audioDriver(), "");
    press(synth, 49);
    ASSERT_TRUE(synth.waitForAudio());
    ASSERT_TRUE(capture.connectFrom(client));
    EXPECT_TRUE(capture.waitForPeak(0.01f, 3s)) << "loudest sample heard: " << capture.peak();
    synth.send(releaseMessage(49));

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
TEST_F(SynthJackServerFaults, ServerKilledOrStoppedUnderAnOpenPortThenPortChangesAndClose)
{
    if (!findSoundFonts(standardSoundFontSearch()))
        GTEST_SKIP() << "no General MIDI SoundFont installed (Debian: apt install fluid-soundfont-gm)";
    for (int signal : {SIGKILL, SIGTERM}) {
        SCOPED_TRACE(signal == SIGKILL ? "SIGKILL" : "SIGTERM");
        if (signal != SIGKILL && !restartServer())
            return;
        test::MidiDumpPeer peer("padscope-victim");
        ASSERT_TRUE(peer.start());
        auto output = programOutputs();
        ASSERT_EQ(output->portName(0), "Padscope GS Synth");
        const int port = indexOf(*output, peer.portName());
        ASSERT_GE(port, 1);
        ASSERT_TRUE(output->open(port));
        output->send(kGsReset);
        ASSERT_EQ(peer.waitForEvents(1, 10000).size(), 1u);

        server().signal(signal);
        server().waitForExit();
        // Twice round the ports, as clicks on the port button would go.
        for (int i = 0; i < 2 * output->portCount(); ++i) {
            output->close();
            output->open((port + 1 + i) % output->portCount());
            for (const auto& message : allNotesOffMessages())
                output->send(message);
            output->send(kGsReset);
            output->send(shortMessage(kStatusNoteOn, 36, 100));
        }
        EXPECT_FALSE(output->open(port)) << "a port of the dead server opened";
        output->close();
        output.reset();
    }
}

// A stopped server (SIGSTOP) never answers: at start JACK counts as absent
// after a short wait, and a port open on it still closes.
TEST_F(SynthJackServerFaults, StoppedServerNeitherHoldsTheStartNorTheClose)
{
    {
        test::MidiDumpPeer peer("padscope-frozen");
        ASSERT_TRUE(peer.start());
        server().signal(SIGSTOP);
        auto output = programOutputs();
        EXPECT_EQ(indexOf(*output, peer.portName()), -1) << "ports of a stopped server are listed";
        if (output->portCount() > 0) {
            output->open(0);
            output->close();
        }
        output.reset();
        server().signal(SIGCONT);
    }
    if (!restartServer())
        return;
    {
        test::MidiDumpPeer peer("padscope-frozen");
        ASSERT_TRUE(peer.start());
        auto output = programOutputs();
        const int port = indexOf(*output, peer.portName());
        ASSERT_GE(port, 0);
        ASSERT_TRUE(output->open(port));
        server().signal(SIGSTOP);
        output->close();
        // The port change after it finds the server hung, not waiting again.
        output->open(port);
        output->open(0);
        output.reset();
        server().signal(SIGCONT);
    }
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return test::skipAwareExitCode(RUN_ALL_TESTS());
}
