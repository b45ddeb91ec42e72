#pragma once

#include <QLoggingCategory>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>

namespace padscope {

// Messages of the audio and MIDI libraries (JACK, ALSA, FluidSynth).
Q_DECLARE_LOGGING_CATEGORY(lcAudio)

// Keeps the platform's audio and MIDI libraries (JACK, ALSA) from printing to
// the terminal (their messages go to lcAudio at debug level), and from
// launching a JACK server of their own. Safe to call more than once.
void quietAudioSystem();

// How long a JACK call may block the program before the server counts as
// hung: libjack has no time-out of its own, and a stopped server never answers.
inline constexpr std::chrono::milliseconds kJackTimeLimit{2000};

// Runs `task` on a worker thread and waits for it at most `limit`. False when
// the time ran out: the task then goes on alone, so it must own all it uses.
bool runBounded(std::function<void()> task, std::chrono::milliseconds limit);

// Whether a JACK server runs, found once per run (JACK 2 by its socket, at
// no cost; another JACK by opening a client) and true until it has gone.
// Never starts a server.
bool jackServerListening();

// Whether a JACK server without JACK 2's socket may run here: PipeWire's
// JACK or JACK 1, found by their own sockets. Where neither is found, no
// client is opened to ask.
bool otherJackMayListen();

// The sample rate of the JACK server that is running, or nothing when none
// runs (or JACK is not available). The server is asked once per run, with a
// client, within kJackTimeLimit; later calls share that answer until the
// server has gone.
std::optional<double> runningJackSampleRate();

// Whether the JACK library in use is PipeWire's (pw-jack): its server lets
// the sound device suspend only once no client is active.
bool jackIsPipeWire();

// Whether the JACK server that answered has since gone away or hung. A
// client of a server that has gone must be neither used nor closed: libjack
// frees such clients itself when the next client opens.
bool jackServerGone();
// Records that a JACK call did not return in time.
void markJackServerHung();

// Gives up an object without destroying it: a JACK client whose server has
// gone or hung, or what a JACK call that never returned still uses. Kept on
// purpose, so LeakSanitizer does not report it.
void markAbandoned(const void* object);
template <typename T, typename Deleter>
void abandon(std::unique_ptr<T, Deleter>& owner)
{
    markAbandoned(owner.release());
}

// Runs a JACK call that makes a client's owner, within kJackTimeLimit.
// Nothing when the time ran out: the server then counts as hung, and what
// the call makes later is given up, not destroyed.
template <typename Make>
std::optional<std::invoke_result_t<Make>> makeWithinJackLimit(Make make)
{
    using Owner = std::invoke_result_t<Make>;
    struct Result {
        std::mutex mutex;
        bool done = false;
        bool late = false;
        Owner owner;
    };
    auto result = std::make_shared<Result>();
    runBounded(
        [result, make = std::move(make)]() mutable {
            Owner owner = make();
            const std::lock_guard lock(result->mutex);
            result->done = true;
            if (result->late)
                abandon(owner);
            else
                result->owner = std::move(owner);
        },
        kJackTimeLimit);
    const std::lock_guard lock(result->mutex);
    if (!result->done) {
        result->late = true;
        markJackServerHung();
        return std::nullopt;
    }
    return std::move(result->owner);
}

// Destroys a JACK client's owner: not at all once its server has gone (libjack
// has freed, or will free, such clients), and otherwise on a worker within
// kJackTimeLimit, after which the server counts as hung.
template <typename T, typename Deleter>
void releaseJackClient(std::unique_ptr<T, Deleter>& owner)
{
    if (!owner)
        return;
    if (jackServerGone()) {
        abandon(owner);
        return;
    }
    auto owned = std::make_shared<std::unique_ptr<T, Deleter>>(std::move(owner));
    if (!runBounded([owned] { owned->reset(); }, kJackTimeLimit))
        markJackServerHung();
}

// Whether an audio output can be opened at all: a JACK server answering, a
// PulseAudio or PipeWire server's socket, or an ALSA playback device.
bool audioOutputPresent();

}  // namespace padscope
