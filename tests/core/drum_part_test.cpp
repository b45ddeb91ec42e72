// What an incoming message means for the drum part, and how the messages
// reach the thread that shows them.
#include "core/drum_part.h"
#include "core/input_session.h"
#include "core/midi_inbox.h"
#include "tests/support/recording_output.h"
#include "core/scripted_input.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace padscope;
using Kind = DrumPartEvent::Kind;

namespace {

DrumPartEvent read(std::vector<std::uint8_t> bytes)
{
    return readDrumPart(bytes);
}

}  // namespace

TEST(DrumPart, NotesOnChannelTenOnly)
{
    EXPECT_EQ(read({0x99, 36, 100}), (DrumPartEvent{Kind::NoteOn, 36}));
    EXPECT_EQ(read({0x99, 36, 0}), (DrumPartEvent{Kind::NoteOff, 36}));
    EXPECT_EQ(read({0x89, 36, 64}), (DrumPartEvent{Kind::NoteOff, 36}));
    EXPECT_EQ(read({0x99, 127, 1}), (DrumPartEvent{Kind::NoteOn, 127}));
    EXPECT_EQ(read({0x98, 36, 100}), DrumPartEvent{});  // channel 9
    EXPECT_EQ(read({0x9A, 36, 100}), DrumPartEvent{});  // channel 11
    EXPECT_EQ(read({0x90, 36, 100}), DrumPartEvent{});
    EXPECT_EQ(read({0x99, 36}), DrumPartEvent{});        // cut short
    EXPECT_EQ(read({0x99, 0x80, 100}), DrumPartEvent{}); // not a data byte
    EXPECT_EQ(read({}), DrumPartEvent{});
}

TEST(DrumPart, ProgramBankSelectLsbAndNotesOff)
{
    EXPECT_EQ(read({0xC9, 25}), (DrumPartEvent{Kind::Program, 25}));
    EXPECT_EQ(read({0xC9, 127}), (DrumPartEvent{Kind::Program, 127}));
    EXPECT_EQ(read({0xC8, 25}), DrumPartEvent{});
    EXPECT_EQ(read({0xC9, 25, 0}), DrumPartEvent{});
    // Bank Select LSB names the map by the value the program itself sends.
    EXPECT_EQ(read({0xB9, 0x20, 0}), (DrumPartEvent{Kind::Map, 0}));
    EXPECT_EQ(read({0xB9, 0x20, 4}), (DrumPartEvent{Kind::Map, 4}));
    EXPECT_EQ(read({0xB9, 0x20, 5}), DrumPartEvent{});
    EXPECT_EQ(read({0xB9, 0x00, 1}), DrumPartEvent{});  // the MSB names no map
    EXPECT_EQ(read({0xB0, 0x20, 1}), DrumPartEvent{});
    EXPECT_EQ(read({0xB9, 120, 0}), (DrumPartEvent{Kind::AllNotesOff, 0}));
    EXPECT_EQ(read({0xB9, 123, 0}), (DrumPartEvent{Kind::AllNotesOff, 0}));
    EXPECT_EQ(read({0xB9, 121, 0}), DrumPartEvent{});  // Reset All Controllers
}

TEST(DrumPart, GsResetAndGmSystemOnForAnyDeviceButNothingElse)
{
    const DrumPartEvent reset{Kind::Reset, 0};
    EXPECT_EQ(read({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}), reset);
    EXPECT_EQ(read({0xF0, 0x41, 0x11, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}), reset);
    EXPECT_EQ(read({0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}), reset);
    EXPECT_EQ(read({0xF0, 0x7E, 0x10, 0x09, 0x01, 0xF7}), reset);
    EXPECT_EQ(read({0xF0, 0x7E, 0x7F, 0x09, 0x02, 0xF7}), DrumPartEvent{});  // GM System Off
    EXPECT_EQ(read({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x7F, 0x42, 0xF7}), DrumPartEvent{});
    EXPECT_EQ(read({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41}), DrumPartEvent{});
    EXPECT_EQ(read({0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}), DrumPartEvent{});
    EXPECT_EQ(read({0xF8}), DrumPartEvent{});
}

TEST(MidiInbox, EveryMessageFromAnotherThreadArrivesOnceAndInOrder)
{
    std::atomic<int> wakes{0};
    MidiInbox inbox([&wakes] { ++wakes; });
    constexpr int kCount = 16000;  // fits the two data bytes
    std::thread poster([&inbox] {
        for (int i = 0; i < kCount; ++i) {
            const std::uint8_t bytes[3] = {0x99, static_cast<std::uint8_t>(i & 0x7F),
                                           static_cast<std::uint8_t>(i >> 7 & 0x7F)};
            inbox.post(bytes);
        }
    });
    std::vector<int> seen;
    int taken = 0;
    while (seen.size() < kCount) {
        const auto batch = inbox.take();
        taken += batch.empty() ? 0 : 1;
        for (const auto& m : batch)
            seen.push_back(m[1] | m[2] << 7);
        if (wakes.load() == 0 && batch.empty())
            std::this_thread::yield();
    }
    poster.join();
    EXPECT_TRUE(inbox.take().empty());
    for (int i = 0; i < kCount; ++i)
        ASSERT_EQ(seen[static_cast<std::size_t>(i)], i);
    // An inbox that was taken empty wakes its taker again; one that was not
    // does not, so the wakes never outnumber the batches by more than one.
    EXPECT_LE(wakes.load(), taken + 1);
    EXPECT_GE(wakes.load(), 1);
}


TEST(InputSession, RemembersByNameAndSaysOnceWhenThePortHasGone)
{
    ScriptedInput input({"Keys", "Sequencer:out", "Pads"});
    RecordingNotifier notifier;
    InputSession session(input, notifier, {});
    session.openRemembered("Pads");
    EXPECT_EQ(input.opens, std::vector<int>{2});
    EXPECT_EQ(session.openPortIndex(), 2);

    // Another port plugged in ahead of it: still the same port.
    input.present = {"New", "Keys", "Sequencer:out", "Pads"};
    session.refreshPorts();
    EXPECT_EQ(session.openPortIndex(), 3);
    EXPECT_EQ(session.portName(), "Pads");
    EXPECT_TRUE(notifier.failures.empty());

    input.present = {"New", "Keys"};
    session.refreshPorts();
    EXPECT_EQ(session.openPortIndex(), -1);
    EXPECT_EQ(session.portName(), "");
    EXPECT_EQ(input.closes, 1);
    ASSERT_EQ(notifier.failures.size(), 1u);
    EXPECT_EQ(notifier.failures[0], Failure::InputGone);
    session.refreshPorts();
    EXPECT_EQ(notifier.failures.size(), 1u);

    // The first in the list, as a lone keyboard is, stays open.
    session.choose(0);
    session.refreshPorts();
    EXPECT_EQ(session.portName(), "New");
    EXPECT_EQ(notifier.failures.size(), 1u);

    session.choose(1);
    EXPECT_EQ(session.portName(), "Keys");
    session.choose(-1);
    EXPECT_EQ(session.portName(), "");
    EXPECT_EQ(input.closes, 3);
}

TEST(InputSession, NoneRememberedOpensNothingAndAMissingOneSaysSo)
{
    ScriptedInput input({"Keys"});
    RecordingNotifier notifier;
    InputSession none(input, notifier, {});
    none.openRemembered("");
    EXPECT_TRUE(input.opens.empty());
    EXPECT_TRUE(notifier.failures.empty());

    InputSession gone(input, notifier, {});
    gone.openRemembered("Pads");
    EXPECT_TRUE(input.opens.empty());
    EXPECT_EQ(gone.portName(), "");
    EXPECT_EQ(notifier.failures.size(), 1u);
}
