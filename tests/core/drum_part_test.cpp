// What an incoming message means for the drum part, and how the messages
// go on to the output and to the thread that shows them.
#include "core/midi/drum_part.h"
#include "core/midi/incoming_route.h"
#include "core/midi/input_session.h"
#include "tests/support/recording_output.h"
#include "tests/support/scripted_input.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
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

// Messages played in from another thread, as an input's own does: with
// Thru each goes on once, in order and as it came; the window is woken once
// for all it has not taken yet and sees only where the drum part stands.
TEST(IncomingRoute, PassesOnInOrderAndWakesOncePerTake)
{
    std::atomic<int> wakes{0};
    std::mutex mutex;
    std::vector<std::vector<std::uint8_t>> sent;
    IncomingRoute route([&wakes] { ++wakes; },
                        [&](std::span<const std::uint8_t> m) {
                            const std::lock_guard lock(mutex);
                            sent.emplace_back(m.begin(), m.end());
                        });
    route.setThru(true);
    constexpr int kCount = 4000;
    std::thread([&route] {
        for (int i = 0; i < kCount; ++i) {
            const std::uint8_t on[3] = {0x99, static_cast<std::uint8_t>(i % 128), 100};
            route.receive(on, false);
            if (i % 128 != 38) {
                const std::uint8_t off[3] = {0x89, static_cast<std::uint8_t>(i % 128), 0};
                route.receive(off, false);
            }
        }
        route.receive(std::vector<std::uint8_t>{0xC9, 25}, false);
        route.receive(std::vector<std::uint8_t>{0xB9, 0x20, 1}, false);
        route.receive(std::vector<std::uint8_t>{0xC9}, false);
        // Left open: dropped, and the Note On after it is one of its own.
        route.receive(std::vector<std::uint8_t>{0xF0, 0x41, 0x10, 0x99, 40, 90}, false);
    }).join();
    EXPECT_EQ(wakes.load(), 1);
    ASSERT_EQ(sent.size(), static_cast<std::size_t>(2 * kCount - kCount / 128 + 4));
    EXPECT_EQ(sent[sent.size() - 4], (std::vector<std::uint8_t>{0xC9, 25}));
    EXPECT_EQ(sent[sent.size() - 2], (std::vector<std::uint8_t>{0xC9}));
    EXPECT_EQ(sent.back(), (std::vector<std::uint8_t>{0x99, 40, 90}));

    const IncomingState state = route.take();
    EXPECT_TRUE(state.held.test(38));
    EXPECT_TRUE(state.held.test(40));
    EXPECT_EQ(state.held.count(), 2u);
    EXPECT_EQ(state.program, 25);
    EXPECT_EQ(state.map, 1);
    EXPECT_EQ(state.lastNoteOn, 40);
    route.receive(std::vector<std::uint8_t>{0x89, 40, 0}, false);
    EXPECT_EQ(wakes.load(), 2);

    // Thru off: the notes it started and did not end get their Note Off.
    sent.clear();
    route.setThru(false);
    EXPECT_EQ(sent, (std::vector<std::vector<std::uint8_t>>{{0x89, 38, 0}}));
    // One the input passed on itself just before Thru went off ends at once.
    sent.clear();
    route.receive(std::vector<std::uint8_t>{0x92, 60, 64}, true);
    EXPECT_EQ(sent, (std::vector<std::vector<std::uint8_t>>{{0x82, 60, 0}}));
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
