// The program's JACK client for MIDI against peers in this process on a
// private JACK server: when messages leave, what comes in and goes through,
// and what its process callback must never do.
#include "core/midi/jack_detection.h"
#include "core/midi/jack_midi.h"
#include "core/midi/port_session.h"
#include "core/midi/press_messages.h"
#include "tests/support/jack_midi_peer.h"
#include "tests/support/jack_test.h"
#include "tests/support/recording_notifier.h"
#include "testing/wait_until.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <jack/thread.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include <pthread.h>

using namespace padscope;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// Allocations and locks are counted on the threads libjack starts, but for
// the peers' own: in steady flow that is the program's process callback.
namespace {

thread_local bool jackThread = false;
std::atomic<bool> counting{false};
std::atomic<int> allocations{0};
std::atomic<int> locks{0};

bool counted()
{
    return counting.load(std::memory_order_relaxed) && jackThread && !test::JackMidiPeer::onPeerThread();
}

struct ThreadStart {
    void* (*routine)(void*);
    void* arg;
};

void* startJackThread(void* start)
{
    const ThreadStart what = *static_cast<ThreadStart*>(start);
    std::free(start);
    jackThread = true;
    return what.routine(what.arg);
}

int createJackThread(pthread_t* thread, const pthread_attr_t* attributes, void* (*routine)(void*), void* arg)
{
    auto* start = static_cast<ThreadStart*>(std::malloc(sizeof(ThreadStart)));
    *start = {routine, arg};
    return pthread_create(thread, attributes, startJackThread, start);
}

}  // namespace

void* operator new(std::size_t size)
{
    if (counted())
        allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

// The sanitizers stand in front of pthread_mutex_lock themselves, and one
// defined here leaves theirs calling nothing: locks are counted only in the
// plain build, allocations in every build.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// glibc's own entry, which this one stands in front of.
extern "C" int realMutexLock(pthread_mutex_t* mutex);
__asm__(".symver realMutexLock, __pthread_mutex_lock@GLIBC_2.2.5");
extern "C" int pthread_mutex_lock(pthread_mutex_t* mutex)
{
    if (counted())
        locks.fetch_add(1, std::memory_order_relaxed);
    return realMutexLock(mutex);
}
#endif

namespace {

const Bytes kReset(kGsReset.begin(), kGsReset.end());
const Bytes kProbe{0x8F, 0x7F, 0};

int indexOf(const MidiOutput& out, const std::string& name)
{
    for (int i = 0; i < out.portCount(); ++i)
        if (out.portKey(i) == name)
            return i;
    return -1;
}

int indexOf(const std::vector<std::string>& names, const std::string& name)
{
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

// What the receiver of the program's input was handed.
struct Received {
    std::mutex mutex;
    std::vector<std::pair<Bytes, bool>> messages;

    MidiInput::Receive receiver()
    {
        return [this](std::span<const std::uint8_t> m, bool passedOn) {
            const std::lock_guard lock(mutex);
            messages.emplace_back(Bytes(m.begin(), m.end()), passedOn);
        };
    }
    std::size_t size()
    {
        const std::lock_guard lock(mutex);
        return messages.size();
    }
};

// A client of the program's, a source that plays into its input and a sink
// on its output, with Thru on once the connection carries messages.
class JackMidi : public test::JackServerTest {
protected:
    void connectAll(bool thru)
    {
        ASSERT_TRUE(source->registered() && sink->registered());
        out->refresh();
        input->refresh();
        ASSERT_TRUE(out->open(indexOf(*out, sink->input())));
        ASSERT_TRUE(input->open(indexOf(input->portNames(), source->output()), received.receiver()));
        // Live once a message has gone through.
        out->send(kReset);
        ASSERT_EQ(sink->waitForEvents(1, 10s).size(), 1u);
        bool heard = false;
        for (int i = 0; i < 10 && !heard; ++i)
            heard = probeReceived();
        ASSERT_TRUE(heard) << "the input never connected";
        input->setThru(thru);
        const std::lock_guard lock(received.mutex);
        received.messages.clear();
    }
    // Plays a Note Off for a note no test uses until the input hears it.
    bool probeReceived()
    {
        source->send({kProbe});
        return waitUntil([this] { return received.size() > 0; }, 1s);
    }
    // What the sink heard after its first `before` events, probes left out:
    // one sent again just before the first was heard may come later.
    std::vector<Bytes> heardSince(std::size_t before, std::size_t count, std::chrono::milliseconds timeout)
    {
        std::vector<Bytes> heard;
        waitUntil(
            [&] {
                heard = sink->waitForEvents(0, 0ms);
                heard.erase(heard.begin(), heard.begin() + static_cast<std::ptrdiff_t>(before));
                std::erase(heard, kProbe);
                return heard.size() >= count;
            },
            timeout);
        return heard;
    }

    void SetUp() override
    {
        JackServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        source = std::make_unique<test::JackMidiPeer>("padscope-source");
        sink = std::make_unique<test::JackMidiPeer>("padscope-sink");
        client = std::make_shared<JackMidiClient>();
        out = std::make_unique<JackMidiOutput>(client);
        input = std::make_unique<JackMidiInput>(client);
    }

    // Nothing more is told or handed on to the test's own.
    void TearDown() override
    {
        if (out)
            out->setPortFailureHandler({});
        if (input)
            input->close();
    }

    Received received;
    std::unique_ptr<test::JackMidiPeer> source;
    std::unique_ptr<test::JackMidiPeer> sink;
    std::shared_ptr<JackMidiClient> client;
    std::unique_ptr<JackMidiOutput> out;
    std::unique_ptr<JackMidiInput> input;
};

}  // namespace

// A peer that has registered its port but becomes active only after the
// port was opened and written to: the first message waits for it, and the
// open does not wait at all.
TEST_F(JackMidi, FirstMessageWaitsForAPeerThatActivatesLate)
{
    test::JackMidiPeer late("padscope-late", false);
    ASSERT_TRUE(late.registered());
    out->refresh();
    ASSERT_TRUE(out->open(indexOf(*out, late.input())));
    out->send(kReset);
    out->send(releaseMessage(36));
    // Once the program's port exists its connection has been asked for.
    jack_status_t status{};
    jack_client_t* look = jack_client_open("padscope-look", JackNoStartServer, &status);
    ASSERT_TRUE(look);
    ASSERT_TRUE(waitUntil([look] { return jack_port_by_name(look, "Padscope:Padscope") != nullptr; }, 10s));
    jack_client_close(look);
    ASSERT_TRUE(late.activate());

    const auto heard = late.waitForEvents(2, 10s);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0], kReset);
    EXPECT_EQ(heard[1], (Bytes{0x99, 36, 0}));
    EXPECT_FALSE(out->openFailedLate());
}

// A start closed at once, before the connection was live: what it sent
// still goes out before the connection goes.
TEST_F(JackMidi, WhatWasSentBeforeAnEarlyCloseStillLeaves)
{
    out->refresh();
    ASSERT_TRUE(out->open(indexOf(*out, sink->input())));
    out->send(kReset);
    out->close();
    EXPECT_EQ(sink->waitForEvents(1, 10s), std::vector<Bytes>{kReset});
}

// A peer that never becomes active: the open returns at once, fails a
// moment later with the reason, and the port is then not the session's.
TEST_F(JackMidi, PeerThatNeverActivatesFailsTheOpenAndIsNotKept)
{
    test::JackMidiPeer idle("padscope-idle", false);
    ASSERT_TRUE(idle.registered());
    std::mutex mutex;
    std::vector<std::pair<Failure, std::string>> told;
    out->setPortFailureHandler([&](Failure failure, const std::string& reason) {
        const std::lock_guard lock(mutex);
        told.emplace_back(failure, reason);
    });
    out->refresh();
    RecordingNotifier notifier;
    PortSession session(*out, notifier, [](std::chrono::milliseconds) {});
    const int port = indexOf(*out, idle.input());
    session.openRemembered(port, out->portName(port));
    EXPECT_TRUE(notifier.failures.empty()) << "the open waited for the peer";

    ASSERT_TRUE(waitUntil([&] { const std::lock_guard lock(mutex); return !told.empty(); }, 10s));
    EXPECT_EQ(told.front().first, Failure::PortOpenFailed);
    EXPECT_NE(told.front().second.find("padscope-idle:in"), std::string::npos) << told.front().second;
    session.checkLateFailure();
    EXPECT_EQ(notifier.failures, std::vector<Failure>{Failure::PortOpenFailed});
    EXPECT_EQ(session.portName(), "") << "a port that failed would be remembered";
}

// A port that went between the listing and the open is named in the
// reason the user reads.
TEST_F(JackMidi, PortGoneBeforeTheOpenIsNamedInTheReason)
{
    out->refresh();
    const int port = indexOf(*out, sink->input());
    ASSERT_GE(port, 0);
    sink.reset();
    // PipeWire's JACK lists a closed client's ports for a while.
    ASSERT_TRUE(waitUntil(
        [&] {
            const auto now = client->listPorts(true);
            return std::find(now.begin(), now.end(), "padscope-sink:in") == now.end();
        },
        10s));
    EXPECT_FALSE(out->open(port));
    EXPECT_EQ(out->openFailure(), "JACK no longer has the port padscope-sink:in");
}

// The synth asks the server's sample rate of the program's MIDI client: no
// other client of the program's ever joins the server to ask it.
TEST_F(JackMidi, SampleRateComesFromTheMidiClientWithoutAnotherClient)
{
    struct Joined {
        std::mutex mutex;
        std::vector<std::string> names;
        bool has(const std::string& name)
        {
            const std::lock_guard lock(mutex);
            return std::find(names.begin(), names.end(), name) != names.end();
        }
    } joined;
    jack_status_t status{};
    jack_client_t* watcher = jack_client_open("padscope-watcher", JackNoStartServer, &status);
    ASSERT_NE(watcher, nullptr);
    jack_set_client_registration_callback(
        watcher,
        [](const char* name, int registered, void* arg) {
            auto* joined = static_cast<Joined*>(arg);
            const std::lock_guard lock(joined->mutex);
            if (registered)
                joined->names.emplace_back(name);
        },
        &joined);
    ASSERT_EQ(jack_activate(watcher), 0);

    ASSERT_TRUE(client->ready());
    EXPECT_EQ(runningJackSampleRate(), std::optional<double>(jack_get_sample_rate(watcher)));
    // Registrations are told in order: once the marker is seen, so is any
    // client opened to ask.
    jack_client_t* marker = jack_client_open("padscope-marker", JackNoStartServer, &status);
    ASSERT_NE(marker, nullptr);
    EXPECT_TRUE(waitUntil([&] { return joined.has("padscope-marker"); }, 10s));
    jack_client_close(marker);
    jack_client_close(watcher);
    const std::lock_guard lock(joined.mutex);
    EXPECT_EQ(joined.names, std::vector<std::string>{"padscope-marker"});
}

// With both of its ports registered and connected, neither list offers the
// program's own: its output wired to its input would loop every note.
TEST_F(JackMidi, OwnPortsAreNeverListed)
{
    connectAll(false);
    out->refresh();
    input->refresh();
    std::vector<std::string> all = input->portNames();
    for (int i = 0; i < out->portCount(); ++i)
        all.push_back(out->portKey(i));
    for (const std::string& name : all)
        EXPECT_FALSE(name.starts_with("Padscope:")) << name;
    EXPECT_GE(indexOf(all, sink->input()), 0);
    EXPECT_GE(indexOf(all, source->output()), 0);
}

// An input whose source has gone by the time it connects tells why, as an
// output that fails does.
TEST_F(JackMidi, InputThatCannotConnectTellsTheReason)
{
    std::mutex mutex;
    std::vector<std::pair<Failure, std::string>> told;
    out->setPortFailureHandler([&](Failure failure, const std::string& reason) {
        const std::lock_guard lock(mutex);
        told.emplace_back(failure, reason);
    });
    input->refresh();
    const int index = indexOf(input->portNames(), source->output());
    ASSERT_GE(index, 0);
    source.reset();
    input->open(index, received.receiver());
    ASSERT_TRUE(waitUntil([&] { const std::lock_guard lock(mutex); return !told.empty(); }, 10s));
    const std::lock_guard lock(mutex);
    EXPECT_EQ(told.front().first, Failure::InputOpenFailed);
    EXPECT_NE(told.front().second.find("padscope-source:out"), std::string::npos) << told.front().second;
}

// Thru in the process callback sends what came in, malformed or not; a
// system exclusive message left open, or ended by a status byte, is dropped
// and what follows goes on by itself; a real-time byte inside one is kept.
TEST_F(JackMidi, ThruPassesEveryByteAsItCameAndDropsUnterminatedSysEx)
{
    connectAll(true);
    const std::size_t before = sink->waitForEvents(0, 0ms).size();
    source->send({{0xC9},
                 {0xE9},
                 {0x99, 0xFF, 0x64},
                 {0xF0, 0x41, 0x10, 0x42},
                 {0x99, 0x24, 0x64},
                 {0x89, 0x24, 0x00},
                 {0xF0, 0x41, 0xF8, 0x10, 0x42, 0xF7},
                 {0xF0, 0x41, 0x10, 0x99, 0x26, 0x64},
                 {0xC9, 0x19}},
                1);
    const std::vector<Bytes> expected{{0xC9}, {0xE9}, {0x99, 0xFF, 0x64}, {0x99, 0x24, 0x64}, {0x89, 0x24, 0x00},
                                      {0xF0, 0x41, 0xF8, 0x10, 0x42, 0xF7}, {0x99, 0x26, 0x64}, {0xC9, 0x19}};
    ASSERT_TRUE(source->waitUntilSent(10s));
    EXPECT_EQ(heardSince(before, expected.size(), 10s), expected);

    ASSERT_TRUE(waitUntil(
        [&] {
            const std::lock_guard lock(received.mutex);
            std::erase_if(received.messages, [](const auto& m) { return m.first == kProbe; });
            return received.messages.size() >= expected.size();
        },
        10s));
    const std::lock_guard lock(received.mutex);
    ASSERT_EQ(received.messages.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(received.messages[i].first, expected[i]) << i;
        EXPECT_TRUE(received.messages[i].second) << "not passed on in the process callback: " << i;
    }
}

// The longest system exclusive message a cycle of the port carries goes
// out whole; one byte more is refused, and the reason is told.
TEST_F(JackMidi, LargestSysExPassesWholeAndOneByteMoreIsRefusedWithTheReason)
{
    std::mutex mutex;
    std::vector<std::pair<Failure, std::string>> told;
    out->setPortFailureHandler([&](Failure failure, const std::string& reason) {
        const std::lock_guard lock(mutex);
        told.emplace_back(failure, reason);
    });
    connectAll(false);
    const std::size_t largest = sink->largestEvent();
    ASSERT_GT(largest, 16u);
    auto sysex = [](std::size_t size) {
        Bytes bytes(size, 0x55);
        bytes.front() = 0xF0;
        bytes.back() = 0xF7;
        return bytes;
    };
    out->send(sysex(largest));
    auto heard = sink->waitForEvents(2, 10s);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[1], sysex(largest));

    out->send(sysex(largest + 1));
    out->send(releaseMessage(36));
    ASSERT_TRUE(waitUntil([&] { const std::lock_guard lock(mutex); return !told.empty(); }, 10s));
    EXPECT_EQ(told.front().first, Failure::MessageTooLong);
    EXPECT_NE(told.front().second.find(std::to_string(largest + 1) + " bytes"), std::string::npos)
        << told.front().second;
    heard = sink->waitForEvents(3, 10s);
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[2], (Bytes{0x99, 36, 0}));
}

// A flood through the input with Thru on and presses going out: the
// process callback takes no lock and allocates nothing, and the presses
// leave whole, never split by what comes through.
TEST_F(JackMidi, ProcessCallbackNeitherAllocatesNorLocksUnderAFlood)
{
    connectAll(true);
    std::vector<Bytes> flood;
    for (int i = 0; i < 2000; ++i) {
        flood.push_back({0x99, static_cast<std::uint8_t>(35 + i % 47), 100});
        flood.push_back({0x89, static_cast<std::uint8_t>(35 + i % 47), 0});
    }
    const std::size_t before = sink->waitForEvents(0, 0ms).size();
    counting = true;
    source->send(flood, 16);
    const auto press = pressMessages(defaultControllerValues(), 36, 0, 4);
    for (int i = 0; i < 20; ++i)
        out->sendUnit(press);
    ASSERT_TRUE(source->waitUntilSent(30s));
    const auto heard = heardSince(before, flood.size() + 20 * press.size(), 30s);
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_EQ(locks.load(), 0);
    ASSERT_EQ(heard.size(), flood.size() + 20 * press.size());
    // Each press is one run of its 23 messages.
    const Bytes first(press[0].bytes().begin(), press[0].bytes().end());
    for (std::size_t i = 0; i < heard.size(); ++i) {
        if (heard[i] != first)
            continue;
        for (std::size_t j = 0; j < press.size(); ++j)
            ASSERT_EQ(heard[i + j], Bytes(press[j].bytes().begin(), press[j].bytes().end())) << "press split at " << j;
    }
}

int main(int argc, char** argv)
{
    // Before any client opens: every thread libjack starts is marked.
    jack_set_thread_creator(createJackThread);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return test::skipAwareExitCode(RUN_ALL_TESTS());
}
