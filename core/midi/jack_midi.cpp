#include "core/midi/jack_midi.h"

#include "core/platform/abandon.h"
#include "core/platform/bounded_call.h"
#include "core/platform/exception_text.h"
#include "core/midi/jack_detection.h"
#include "core/midi/midi_stream.h"
#include "core/midi/rtmidi_api.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

#if defined(PADSCOPE_WITH_JACK)
#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>
#endif

namespace padscope {

#if defined(PADSCOPE_WITH_JACK)

namespace {

using namespace std::chrono_literals;

// How long a peer may take to carry the connection before the open fails.
constexpr auto kConnectionLimit = 1000ms;
// How long a port being closed may take to send what was written for it.
constexpr auto kDrainLimit = 250ms;
constexpr std::size_t kOutgoingRing = 1 << 16;
constexpr std::size_t kIncomingRing = 1 << 18;
constexpr std::size_t kHeldRing = 1 << 16;
// What a JACK MIDI buffer spends on each event besides its bytes, counted
// high, so that a unit that passes the check always fits whole.
constexpr std::size_t kEventOverhead = 16;

// Calls `each` with every message of a unit as written to the ring: each
// one a 16-bit length, then its bytes.
template <typename Each>
void forEachMessage(std::span<const char> unit, Each each)
{
    for (std::size_t at = 0; at + 2 <= unit.size();) {
        std::uint16_t size = 0;
        std::memcpy(&size, unit.data() + at, 2);
        each(unit.data() + at + 2, size);
        at += 2 + size;
    }
}
// Cycles in a row that must see a new connection before it carries messages.
constexpr int kLiveCycles = 2;

// A unit of messages for the output: `length` bytes of messages follow, each
// as a 16-bit size and its bytes. `generation` is the opening it was written for.
struct OutgoingHeader {
    std::uint32_t generation;
    std::uint32_t length;
};
// An incoming message, its bytes after the header.
struct IncomingHeader {
    std::uint32_t size;
    std::uint32_t passedOn;
};

struct FreeRing {
    void operator()(jack_ringbuffer_t* ring) const { jack_ringbuffer_free(ring); }
};
using Ring = std::unique_ptr<jack_ringbuffer_t, FreeRing>;

Ring makeRing(std::size_t size)
{
    return Ring(jack_ringbuffer_create(size));
}

template <typename Header>
bool peekHeader(jack_ringbuffer_t* ring, Header& header)
{
    return jack_ringbuffer_read_space(ring) >= sizeof header
           && jack_ringbuffer_peek(ring, reinterpret_cast<char*>(&header), sizeof header) == sizeof header;
}

}  // namespace

struct JackMidiClient::Core {
    std::string name;
    jack_client_t* client = nullptr;
    std::atomic<bool> gone{false};

    // The client's own thread and what it is asked to do.
    std::mutex taskMutex;
    std::condition_variable taskWake;
    std::deque<std::function<void()>> tasks;
    bool stopping = false;
    std::promise<bool> opened;
    std::shared_future<bool> openedFuture = opened.get_future().share();
    std::promise<std::optional<double>> sampleRate;  // told once the client has opened, or not

    // Output, shared with the process callback.
    std::atomic<jack_port_t*> outPort{nullptr};
    // Full names, read once at registration on the client's thread: a port's
    // name lives in the server's memory, which is gone once the server is.
    std::string outPortName;
    Ring outgoing = makeRing(kOutgoingRing);
    std::mutex writeMutex;  // one writer at a time
    std::atomic<std::uint32_t> lastGeneration{0};  // changed under writeMutex
    std::atomic<std::uint32_t> openGeneration{0};  // 0 while no port is asked for
    std::atomic<std::uint32_t> failedGeneration{0};
    // A port closed while what was written for it may still go out.
    std::atomic<std::uint32_t> closingGeneration{0};
    std::array<std::array<char, 512>, 2> targets{};  // by generation parity
    // Process callback only, then published.
    std::uint32_t liveGeneration = 0;
    std::atomic<std::uint32_t> liveSeen{0};
    std::uint32_t countedGeneration = 0;  // whose connection connectedCycles counts
    int connectedCycles = 0;              // in a row that have seen that connection
    std::atomic<std::uint32_t> drainedBefore{0};  // every unit older than this has been handled
    std::atomic<std::size_t> maxEvent{0};         // what an empty cycle of the port carries
    // PipeWire's JACK (0.3.65) crashes in its own thread on an event that
    // fills the buffer to the byte: such a client keeps one byte free.
    std::size_t keptFree = 0;
    std::atomic<std::uint32_t> refusedSize{0};
    std::vector<char> scratch = std::vector<char>(kOutgoingRing);
    Ring held = makeRing(kHeldRing);  // thru events waiting for the connection

    std::mutex failureMutex;
    std::string failure;
    PortFailureHandler failureHandler;

    // Input.
    std::atomic<jack_port_t*> inPort{nullptr};
    std::string inPortName;
    std::atomic<bool> inOpen{false};
    // Counts the inputs opened: a failure is told only for the one still open.
    std::atomic<std::uint32_t> inGeneration{0};
    std::atomic<bool> thru{false};
    Ring incoming = makeRing(kIncomingRing);
    std::atomic<std::uint64_t> lost{0};
    std::mutex deliveryMutex;
    MidiInput::Receive receive;
    std::vector<std::uint8_t> delivered;
    std::jthread delivery;

    ~Core()
    {
        if (delivery.joinable()) {
            delivery.request_stop();
            delivery.join();
        }
    }

    void post(std::function<void()> task)
    {
        {
            const std::lock_guard lock(taskMutex);
            tasks.push_back(std::move(task));
        }
        taskWake.notify_one();
    }

    void tellFailure(Failure kind, const std::string& reason)
    {
        qCWarning(lcMidi, "%s", reason.c_str());
        // Under the lock: once the handler is taken away, it is never called.
        const std::lock_guard lock(failureMutex);
        if (kind == Failure::PortOpenFailed)
            failure = reason;
        if (failureHandler)
            failureHandler(kind, reason);
    }

    void tellRefused()
    {
        if (const std::uint32_t size = refusedSize.exchange(0))
            tellFailure(Failure::MessageTooLong,
                        "A MIDI message of " + std::to_string(size) + " bytes is longer than the "
                            + std::to_string(maxEvent.load()) + " bytes one JACK cycle of the port can carry; it was not sent");
    }

    // Runs on the client's own thread from the start to the end.
    static void run(std::shared_ptr<Core> core);
    static int process(jack_nframes_t frames, void* arg);
    static void shutdown(jack_status_t, const char*, void* arg)
    {
        static_cast<Core*>(arg)->gone = true;
    }

    // Whether what is written for that port may still go out.
    bool still(std::uint32_t generation) const
    {
        return openGeneration.load() == generation || closingGeneration.load() == generation;
    }
    // Activates the client the first time a port is connected, on the
    // client's thread: a client in every cycle costs the server and this
    // process work while the window starts, and a start on the built-in
    // synth never needs it. Empty when active, else why not.
    std::string activate()
    {
        if (active)
            return {};
        if (jack_activate(client) != 0)
            return "JACK could not activate the client " + name;
        active = true;
        return {};
    }
    bool active = false;  // the client's thread only

    void connect(std::uint32_t generation, const std::string& target);
    void disconnect(std::uint32_t generation, const std::string& target);
    void fail(std::uint32_t generation, const std::string& reason);
    void deliver();
    void drainOutgoing(void* buffer, jack_nframes_t& lastTime);
    void passOn(void* outBuffer, bool live, std::uint32_t generation, jack_nframes_t frames, jack_nframes_t& lastTime);
    bool fits(void* buffer, std::span<const char> unit) const;
    std::size_t carried(void* buffer) const
    {
        const std::size_t largest = jack_midi_max_event_size(buffer);
        return largest > keptFree ? largest - keptFree : 0;
    }
};

void JackMidiClient::Core::run(std::shared_ptr<Core> core)
{
    bool ok = false;
    std::optional<double> rate;
    // What this thread meets is logged, and the client counts as not opened
    // or the task as not done: an exception at a thread's top ends the program.
    try {
        // Not jackServerListening(): where JACK 2's socket is missing it
        // would open a client of its own only to ask.
        if (jackServerMayListen()) {
            jack_status_t status{};
            core->client = jack_client_open(core->name.c_str(), JackNoStartServer, &status);
            if (core->client) {
                rate = jack_get_sample_rate(core->client);
                core->keptFree = jackIsPipeWire() ? 1 : 0;
                jack_set_process_callback(core->client, &Core::process, core.get());
                jack_on_info_shutdown(core->client, &Core::shutdown, core.get());
                ok = true;
            }
        }
    } catch (...) {
        qCWarning(lcMidi, "The JACK client %s could not be opened: %s", core->name.c_str(),
                  currentExceptionText().c_str());
    }
    core->sampleRate.set_value(ok ? rate : std::nullopt);
    core->opened.set_value(ok);
    if (!ok)
        return;
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(core->taskMutex);
            core->taskWake.wait_for(lock, 50ms, [&core] { return core->stopping || !core->tasks.empty(); });
            if (core->tasks.empty() && core->stopping)
                break;
            if (!core->tasks.empty()) {
                task = std::move(core->tasks.front());
                core->tasks.pop_front();
            }
        }
        core->tellRefused();
        if (task && !core->gone) {
            try {
                task();
            } catch (...) {
                qCWarning(lcMidi, "A JACK call failed: %s", currentExceptionText().c_str());
            }
        }
    }
    // A server that has gone has freed, or will free, the client itself,
    // and what its threads may still reach stays.
    if (core->gone) {
        auto kept = std::make_unique<std::shared_ptr<Core>>(core);
        abandon(kept);
        return;
    }
    jack_client_close(core->client);
    core->client = nullptr;
}

bool JackMidiClient::Core::fits(void* buffer, std::span<const char> unit) const
{
    std::size_t needed = 0;
    forEachMessage(unit, [&needed](const char*, std::uint16_t size) { needed += size + kEventOverhead; });
    return needed <= carried(buffer) + kEventOverhead;
}

void JackMidiClient::Core::drainOutgoing(void* buffer, jack_nframes_t& lastTime)
{
    jack_ringbuffer_t* ring = outgoing.get();
    const std::uint32_t written = lastGeneration.load(std::memory_order_acquire);
    const std::uint32_t open = openGeneration.load(std::memory_order_acquire);
    const std::uint32_t failed = failedGeneration.load(std::memory_order_acquire);
    const std::uint32_t closing = closingGeneration.load(std::memory_order_acquire);
    auto waiting = [&](std::uint32_t generation) {
        return generation != 0 && generation != failed && generation != liveGeneration
               && (generation == open || generation == closing);
    };
    OutgoingHeader header{};
    // The port whose connection is awaited: that of the first unit, or the
    // open one. Live once the connection has been there for a whole cycle:
    // libjack runs a peer's first cycle after its activation without its
    // callback, and what reaches the peer in that cycle is lost.
    std::uint32_t awaited = open;
    if (peekHeader(ring, header) && waiting(header.generation))
        awaited = header.generation;
    if (buffer && waiting(awaited)) {
        const bool connected =
            jack_port_connected_to(outPort.load(std::memory_order_relaxed), targets[awaited % 2].data()) > 0;
        if (!connected || countedGeneration != awaited) {
            countedGeneration = awaited;
            connectedCycles = 0;
        }
        if (connected && ++connectedCycles >= kLiveCycles) {
            liveGeneration = awaited;
            liveSeen.store(awaited, std::memory_order_release);
        }
    }
    bool sent = false;
    while (peekHeader(ring, header)) {
        const std::size_t total = sizeof header + header.length;
        if (jack_ringbuffer_read_space(ring) < total)
            break;  // the rest of the unit is on its way
        if (header.generation != liveGeneration || !buffer) {
            if (waiting(header.generation)) {
                drainedBefore.store(header.generation, std::memory_order_release);
                return;  // the first message waits for the connection
            }
            // Written for a port closed before it ever carried anything.
            jack_ringbuffer_read_advance(ring, total);
            continue;
        }
        jack_ringbuffer_peek(ring, scratch.data(), total);
        const std::span<const char> unit(scratch.data() + sizeof header, header.length);
        if (!fits(buffer, unit)) {
            if (sent)
                break;  // next cycle, whole
            refusedSize.store(header.length, std::memory_order_relaxed);
            jack_ringbuffer_read_advance(ring, total);
            continue;
        }
        forEachMessage(unit, [buffer](const char* bytes, std::uint16_t size) {
            jack_midi_event_write(buffer, 0, reinterpret_cast<const jack_midi_data_t*>(bytes), size);
        });
        sent = true;
        jack_ringbuffer_read_advance(ring, total);
    }
    lastTime = 0;
    drainedBefore.store(written + 1, std::memory_order_release);
    // Thru events held while the connection was not live, now that it is.
    if (buffer && liveGeneration == open) {
        jack_ringbuffer_t* waiting = held.get();
        while (peekHeader(waiting, header)) {
            const std::size_t total = sizeof header + header.length;
            jack_ringbuffer_peek(waiting, scratch.data(), total);
            if (header.generation == open
                && jack_midi_event_write(buffer, 0, reinterpret_cast<const jack_midi_data_t*>(scratch.data() + sizeof header),
                                         header.length)
                       != 0)
                break;
            jack_ringbuffer_read_advance(waiting, total);
        }
    }
}

void JackMidiClient::Core::passOn(void* outBuffer, bool live, std::uint32_t generation, jack_nframes_t frames,
                                  jack_nframes_t& lastTime)
{
    jack_port_t* in = inPort.load(std::memory_order_acquire);
    if (!in || !inOpen.load(std::memory_order_acquire))
        return;
    void* inBuffer = jack_port_get_buffer(in, frames);
    const bool thruOn = thru.load(std::memory_order_relaxed) && generation != 0
                        && generation != failedGeneration.load(std::memory_order_relaxed);
    const std::size_t largest = maxEvent.load(std::memory_order_relaxed);
    const jack_nframes_t count = jack_midi_get_event_count(inBuffer);
    for (jack_nframes_t i = 0; i < count; ++i) {
        jack_midi_event_t event{};
        if (jack_midi_event_get(&event, inBuffer, i) != 0)
            continue;
        splitIncoming(std::span<const std::uint8_t>(event.buffer, event.size), [&](std::span<const std::uint8_t> m) {
            bool passed = false;
            if (thruOn && outBuffer) {
                if (m.size() > largest) {
                    refusedSize.store(static_cast<std::uint32_t>(m.size()), std::memory_order_relaxed);
                } else if (live) {
                    lastTime = std::max(lastTime, event.time);
                    passed = jack_midi_event_write(outBuffer, lastTime, m.data(), m.size()) == 0;
                } else {
                    const OutgoingHeader header{generation, static_cast<std::uint32_t>(m.size())};
                    if (jack_ringbuffer_write_space(held.get()) >= sizeof header + m.size()) {
                        jack_ringbuffer_write(held.get(), reinterpret_cast<const char*>(&header), sizeof header);
                        jack_ringbuffer_write(held.get(), reinterpret_cast<const char*>(m.data()), m.size());
                        passed = true;
                    }
                }
            }
            const IncomingHeader header{static_cast<std::uint32_t>(m.size()), passed ? 1u : 0u};
            if (jack_ringbuffer_write_space(incoming.get()) < sizeof header + m.size()) {
                lost.fetch_add(1, std::memory_order_relaxed);
                return;
            }
            jack_ringbuffer_write(incoming.get(), reinterpret_cast<const char*>(&header), sizeof header);
            jack_ringbuffer_write(incoming.get(), reinterpret_cast<const char*>(m.data()), m.size());
        });
    }
}

int JackMidiClient::Core::process(jack_nframes_t frames, void* arg)
{
    Core& core = *static_cast<Core*>(arg);
    void* buffer = nullptr;
    if (jack_port_t* out = core.outPort.load(std::memory_order_acquire)) {
        buffer = jack_port_get_buffer(out, frames);
        jack_midi_clear_buffer(buffer);
        core.maxEvent.store(core.carried(buffer), std::memory_order_relaxed);
    }
    jack_nframes_t lastTime = 0;
    core.drainOutgoing(buffer, lastTime);
    const std::uint32_t open = core.openGeneration.load(std::memory_order_acquire);
    core.passOn(buffer, open != 0 && core.liveGeneration == open, open, frames, lastTime);
    return 0;
}

void JackMidiClient::Core::fail(std::uint32_t generation, const std::string& reason)
{
    failedGeneration.store(generation, std::memory_order_release);
    if (jack_port_t* out = outPort.load(); out && !gone)
        jack_port_disconnect(client, out);
    if (openGeneration.load() == generation)
        tellFailure(Failure::PortOpenFailed, reason);
}

void JackMidiClient::Core::connect(std::uint32_t generation, const std::string& target)
{
    if (!still(generation))
        return;  // closed again, and what it had dropped, before its turn came
    if (!outPort.load()) {
        jack_port_t* port = jack_port_register(client, name.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
        if (!port) {
            fail(generation, "JACK refused to register the output port " + name);
            return;
        }
        outPortName = jack_port_name(port);
        outPort.store(port, std::memory_order_release);
    }
    if (const std::string refused = activate(); !refused.empty()) {
        fail(generation, refused);
        return;
    }
    // A peer that has only just started takes no connection until it is
    // active: asked again until it does, or the time is up.
    const auto deadline = std::chrono::steady_clock::now() + kConnectionLimit;
    for (;;) {
        if (gone || !still(generation))
            return;
        const int result = jack_connect(client, outPortName.c_str(), target.c_str());
        if (result == 0 || result == EEXIST)
            break;
        if (std::chrono::steady_clock::now() >= deadline) {
            fail(generation, target + " did not take the JACK connection within 1 s (error " + std::to_string(result) + ")");
            return;
        }
        std::this_thread::sleep_for(20ms);
    }
    // The connection is live once the process callback has seen it.
    while (!gone && still(generation) && liveSeen.load() != generation) {
        if (std::chrono::steady_clock::now() >= deadline) {
            fail(generation, target + " did not take the JACK connection within 1 s");
            return;
        }
        std::this_thread::sleep_for(2ms);
    }
}

void JackMidiClient::Core::disconnect(std::uint32_t generation, const std::string& target)
{
    // What was written for the port leaves before the connection goes.
    const auto deadline = std::chrono::steady_clock::now() + kDrainLimit;
    while (!gone && drainedBefore.load() <= generation && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(2ms);
    std::uint32_t closing = generation;
    closingGeneration.compare_exchange_strong(closing, 0);
    if (!gone && outPort.load())
        jack_disconnect(client, outPortName.c_str(), target.c_str());
}

void JackMidiClient::Core::deliver()
{
    const std::lock_guard lock(deliveryMutex);
    jack_ringbuffer_t* ring = incoming.get();
    IncomingHeader header{};
    while (peekHeader(ring, header)) {
        const std::size_t total = sizeof header + header.size;
        if (jack_ringbuffer_read_space(ring) < total)
            break;
        jack_ringbuffer_read_advance(ring, sizeof header);
        delivered.resize(header.size);
        jack_ringbuffer_read(ring, reinterpret_cast<char*>(delivered.data()), header.size);
        if (receive)
            receive(delivered, header.passedOn != 0);
    }
}

JackMidiClient::JackMidiClient(std::string name) : core_(std::make_shared<Core>())
{
    core_->name = std::move(name);
    takeJackSampleRateFrom(core_->sampleRate.get_future().share());
    try {
        std::thread(&Core::run, core_).detach();
    } catch (const std::system_error&) {
        core_->sampleRate.set_value(std::nullopt);
        core_->opened.set_value(false);
    }
}

JackMidiClient::~JackMidiClient()
{
    closeInput();
    {
        const std::lock_guard lock(core_->taskMutex);
        core_->stopping = true;
    }
    core_->taskWake.notify_one();
    // The client's thread closes the client; a server that does not answer
    // costs at most the JACK time limit, and the thread is then left to it.
    if (!ready())
        return;
    const auto deadline = std::chrono::steady_clock::now() + kJackTimeLimit;
    while (core_.use_count() > 1 && std::chrono::steady_clock::now() < deadline && !core_->gone)
        std::this_thread::sleep_for(1ms);
    if (core_.use_count() > 1) {
        auto kept = std::make_unique<std::shared_ptr<Core>>(core_);
        abandon(kept);
    }
}

bool JackMidiClient::ready() const
{
    if (core_->gone)
        return false;
    // Asked where a port is listed or opened, never per message: a server
    // killed a moment ago may not have told the client yet.
    if (jackServerGone())
        core_->gone = true;
    if (core_->openedFuture.wait_for(kJackTimeLimit) != std::future_status::ready) {
        markJackServerHung();
        core_->gone = true;
        return false;
    }
    return core_->openedFuture.get() && !core_->gone;
}

std::vector<std::string> JackMidiClient::listPorts(bool inputs) const
{
    std::vector<std::string> names;
    if (!ready())
        return names;
    const char** ports = jack_get_ports(core_->client, nullptr, JACK_DEFAULT_MIDI_TYPE,
                                        inputs ? JackPortIsInput : JackPortIsOutput);
    if (!ports)
        return names;
    // The program's own ports are never offered: a note would loop.
    const std::string own = std::string(jack_get_client_name(core_->client)) + ':';
    for (const char** port = ports; *port; ++port)
        if (!std::string_view(*port).starts_with(own))
            names.emplace_back(*port);
    jack_free(ports);
    return names;
}

bool JackMidiClient::openOutput(const std::string& target)
{
    if (!ready() || target.size() >= core_->targets[0].size())
        return false;
    std::uint32_t generation = 0;
    {
        const std::lock_guard lock(core_->writeMutex);
        generation = core_->lastGeneration.load() + 1;
        core_->lastGeneration.store(generation);
        auto& slot = core_->targets[generation % 2];
        slot.fill('\0');
        target.copy(slot.data(), slot.size() - 1);
        core_->openGeneration.store(generation, std::memory_order_release);
    }
    {
        const std::lock_guard lock(core_->failureMutex);
        core_->failure.clear();
    }
    core_->post([core = core_.get(), generation, target] { core->connect(generation, target); });
    return true;
}

void JackMidiClient::closeOutput()
{
    std::uint32_t generation = 0;
    {
        const std::lock_guard lock(core_->writeMutex);
        generation = core_->openGeneration.exchange(0);
        if (generation != 0)
            core_->closingGeneration.store(generation);
    }
    if (generation == 0)
        return;
    const std::string target(core_->targets[generation % 2].data());
    core_->post([core = core_.get(), generation, target] { core->disconnect(generation, target); });
}

bool JackMidiClient::outputFailed() const
{
    const std::uint32_t failed = core_->failedGeneration.load();
    return core_->gone || (failed != 0 && failed == core_->lastGeneration.load());
}

std::string JackMidiClient::outputFailure() const
{
    if (core_->gone)
        return "The JACK server has gone away";
    const std::lock_guard lock(core_->failureMutex);
    return core_->failure;
}

void JackMidiClient::write(std::span<const MidiMessage> messages)
{
    std::vector<char> unit;
    const std::size_t largest = core_->maxEvent.load();
    for (const MidiMessage& message : messages) {
        const auto bytes = message.bytes();
        if (bytes.empty())
            continue;
        if ((largest != 0 && bytes.size() > largest) || bytes.size() > 0xFFFF) {
            core_->refusedSize.store(static_cast<std::uint32_t>(bytes.size()));
            core_->post([] {});
            return;
        }
        const auto size = static_cast<std::uint16_t>(bytes.size());
        const auto* sizeBytes = reinterpret_cast<const char*>(&size);
        unit.insert(unit.end(), sizeBytes, sizeBytes + 2);
        unit.insert(unit.end(), bytes.begin(), bytes.end());
    }
    const std::lock_guard lock(core_->writeMutex);
    const OutgoingHeader header{core_->openGeneration.load(), static_cast<std::uint32_t>(unit.size())};
    if (header.generation == 0 || unit.empty())
        return;  // no port open: dropped
    jack_ringbuffer_t* ring = core_->outgoing.get();
    if (jack_ringbuffer_write_space(ring) < sizeof header + unit.size()) {
        qCWarning(lcMidi, "The JACK output is not taking messages; %zu bytes were dropped", unit.size());
        return;
    }
    jack_ringbuffer_write(ring, reinterpret_cast<const char*>(&header), sizeof header);
    jack_ringbuffer_write(ring, unit.data(), unit.size());
}

void JackMidiClient::write(std::span<const std::uint8_t> message)
{
    const MidiMessage one(message);
    write(std::span<const MidiMessage>(&one, 1));
}

void JackMidiClient::setFailureHandler(PortFailureHandler handler)
{
    const std::lock_guard lock(core_->failureMutex);
    core_->failureHandler = std::move(handler);
}

bool JackMidiClient::openInput(const std::string& source, MidiInput::Receive receive)
{
    closeInput();
    if (!ready())
        return false;
    {
        const std::lock_guard lock(core_->deliveryMutex);
        core_->receive = std::move(receive);
    }
    core_->post([core = core_.get(), source, generation = ++core_->inGeneration] {
        if (!core->inPort.load()) {
            jack_port_t* port = jack_port_register(core->client, (core->name + " input").c_str(),
                                                   JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
            if (!port) {
                if (core->inGeneration == generation)
                    core->tellFailure(Failure::InputOpenFailed, "JACK refused to register the input port " + core->name + " input");
                return;
            }
            core->inPortName = jack_port_name(port);
            core->inPort.store(port, std::memory_order_release);
        }
        if (const std::string refused = core->activate(); !refused.empty()) {
            if (core->inGeneration == generation)
                core->tellFailure(Failure::InputOpenFailed, refused);
            return;
        }
        const int result = jack_connect(core->client, source.c_str(), core->inPortName.c_str());
        if (result != 0 && result != EEXIST && core->inGeneration == generation)
            core->tellFailure(Failure::InputOpenFailed, "JACK could not connect " + source + " to the input (error "
                                                            + std::to_string(result) + ")");
    });
    core_->inOpen = true;
    // Hands on what arrives about once a millisecond, on a thread of its own.
    core_->delivery = std::jthread([core = core_.get()](std::stop_token stop) {
        std::uint64_t lostBefore = 0;
        while (!stop.stop_requested()) {
            std::this_thread::sleep_for(1ms);
            try {
                core->deliver();
                core->tellRefused();
            } catch (...) {
                qCWarning(lcMidi, "Incoming MIDI could not be handed on: %s", currentExceptionText().c_str());
            }
            if (const std::uint64_t lost = core->lost.load(); lost != lostBefore) {
                qCWarning(lcMidi, "%llu incoming MIDI events found no room and were dropped",
                          static_cast<unsigned long long>(lost - lostBefore));
                lostBefore = lost;
            }
        }
    });
    return true;
}

void JackMidiClient::closeInput()
{
    if (!core_->inOpen.exchange(false))
        return;
    ++core_->inGeneration;  // what the closed input meets is no longer told
    if (core_->delivery.joinable()) {
        core_->delivery.request_stop();
        core_->delivery.join();
    }
    {
        const std::lock_guard lock(core_->deliveryMutex);
        core_->receive = nullptr;
        // What is left belongs to the port that closed.
        jack_ringbuffer_read_advance(core_->incoming.get(), jack_ringbuffer_read_space(core_->incoming.get()));
    }
    core_->post([core = core_.get()] {
        if (jack_port_t* in = core->inPort.load(); in && !core->gone)
            jack_port_disconnect(core->client, in);
    });
}

void JackMidiClient::setThru(bool on)
{
    core_->thru = on;
}

void JackMidiClient::deliverPending()
{
    core_->deliver();
}

std::uint64_t JackMidiClient::incomingLost() const
{
    return core_->lost.load();
}

#else

struct JackMidiClient::Core {};
JackMidiClient::JackMidiClient(std::string) : core_(std::make_shared<Core>()) {}
JackMidiClient::~JackMidiClient() = default;
bool JackMidiClient::ready() const { return false; }
std::vector<std::string> JackMidiClient::listPorts(bool) const { return {}; }
bool JackMidiClient::openOutput(const std::string&) { return false; }
void JackMidiClient::closeOutput() {}
bool JackMidiClient::outputFailed() const { return false; }
std::string JackMidiClient::outputFailure() const { return {}; }
void JackMidiClient::write(std::span<const MidiMessage>) {}
void JackMidiClient::write(std::span<const std::uint8_t>) {}
void JackMidiClient::setFailureHandler(PortFailureHandler) {}
bool JackMidiClient::openInput(const std::string&, MidiInput::Receive) { return false; }
void JackMidiClient::closeInput() {}
void JackMidiClient::setThru(bool) {}
void JackMidiClient::deliverPending() {}
std::uint64_t JackMidiClient::incomingLost() const { return 0; }

#endif

namespace {

constexpr std::string_view kNoJackServer = "the JACK server does not answer";

}  // namespace

JackMidiOutput::JackMidiOutput(std::shared_ptr<JackMidiClient> client) : client_(std::move(client))
{
    refresh();
}

JackMidiOutput::~JackMidiOutput()
{
    close();
    client_->setFailureHandler({});
}

std::string JackMidiOutput::portName(int index) const
{
    if (index < 0 || index >= portCount())
        return {};
    return clipPortName(ports_[static_cast<std::size_t>(index)]);
}

std::string JackMidiOutput::portKey(int index) const
{
    if (index < 0 || index >= portCount())
        return {};
    return ports_[static_cast<std::size_t>(index)];
}

void JackMidiOutput::refresh()
{
    ports_ = client_->listPorts(true);
}

bool JackMidiOutput::open(int index)
{
    close();
    failedOpen_.clear();
    if (index < 0 || index >= portCount())
        return false;
    // The port may have gone since it was listed.
    const std::string& target = ports_[static_cast<std::size_t>(index)];
    const auto now = client_->listPorts(true);
    if (std::find(now.begin(), now.end(), target) == now.end()) {
        failedOpen_ = client_->ready() ? "JACK no longer has the port " + target : std::string(kNoJackServer);
        return false;
    }
    open_ = client_->openOutput(target);
    if (!open_)
        failedOpen_ = client_->ready() ? "JACK cannot connect to the port " + target : std::string(kNoJackServer);
    return open_;
}

bool JackMidiOutput::openFailedLate() const
{
    return open_ && client_->outputFailed();
}

std::string JackMidiOutput::lateFailure() const
{
    return client_->outputFailure();
}

void JackMidiOutput::setPortFailureHandler(PortFailureHandler handler)
{
    client_->setFailureHandler(std::move(handler));
}

void JackMidiOutput::close()
{
    if (open_)
        client_->closeOutput();
    open_ = false;
}

void JackMidiOutput::send(std::span<const std::uint8_t> message)
{
    if (!open_)
        return;
    if (inUnit_)
        unit_.emplace_back(message);
    else
        client_->write(message);
}

void JackMidiOutput::endUnit()
{
    inUnit_ = false;
    if (open_)
        client_->write(unit_);
    unit_.clear();
}

JackMidiInput::JackMidiInput(std::shared_ptr<JackMidiClient> client) : client_(std::move(client)) {}

JackMidiInput::~JackMidiInput()
{
    close();
}

void JackMidiInput::refresh()
{
    ports_ = client_->listPorts(false);
}

bool JackMidiInput::open(int index, Receive receive)
{
    failedOpen_.clear();
    if (index < 0 || index >= static_cast<int>(ports_.size()))
        return false;
    if (client_->openInput(ports_[static_cast<std::size_t>(index)], std::move(receive)))
        return true;
    failedOpen_ = kNoJackServer;
    return false;
}

void JackMidiInput::close()
{
    client_->closeInput();
}

void JackMidiInput::setThru(bool on)
{
    client_->setThru(on);
}

void JackMidiInput::deliverPending()
{
    client_->deliverPending();
}

}  // namespace padscope
