#pragma once

#include "core/platform/abandon.h"
#include "core/midi/jack_detection.h"

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>

namespace padscope {

// How long a JACK call may block the program before the server counts as
// hung: libjack has no time-out of its own, and a stopped server never answers.
inline constexpr std::chrono::milliseconds kJackTimeLimit{2000};

// Runs `task` on a worker thread and waits for it at most `limit`. False when
// the time ran out: the task then goes on alone, so it must own all it uses.
// What the task throws in time is thrown again here.
bool runBounded(std::function<void()> task, std::chrono::milliseconds limit);

// Runs a JACK call that makes a client's owner, within kJackTimeLimit.
// Nothing when the time ran out: the server then counts as hung, and what
// the call makes later is given up, not destroyed.
template <typename Make>
std::optional<std::invoke_result_t<Make>> makeWithinJackLimit(JackServer& jack, Make make)
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
        jack.markHung();
        return std::nullopt;
    }
    return std::move(result->owner);
}

// Destroys a JACK client's owner: not at all once its server has gone (libjack
// has freed, or will free, such clients), and otherwise on a worker within
// kJackTimeLimit, after which the server counts as hung.
template <typename T, typename Deleter>
void releaseJackClient(JackServer& jack, std::unique_ptr<T, Deleter>& owner)
{
    if (!owner)
        return;
    if (jack.gone()) {
        abandon(owner);
        return;
    }
    auto owned = std::make_shared<std::unique_ptr<T, Deleter>>(std::move(owner));
    if (!runBounded([owned] { owned->reset(); }, kJackTimeLimit))
        jack.markHung();
}

}  // namespace padscope
