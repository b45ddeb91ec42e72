#pragma once

#include "core/synth/audio_log.h"
#include "core/platform/bounded_call.h"
#include "core/midi/jack_detection.h"

#include <RtMidi.h>

#include <QLoggingCategory>

#include <functional>
#include <memory>
#include <string>

namespace padscope {

// What the output and the input share of RtMidi: starting an API quietly,
// and calling JACK within its time limit. `Side` is RtMidiOut or RtMidiIn.

// RtMidi's own errors and warnings: quiet unless QT_LOGGING_RULES asks for them.
Q_DECLARE_LOGGING_CATEGORY(lcMidi)
void logRtMidiError(RtMidiError::Type, const std::string& text, void*);
void logRtMidiError(const RtMidiError& error);

// Runs `task` on the API's object and gives back RtMidi's words for what went
// wrong meanwhile, empty when nothing did. With an error callback in place
// RtMidi reports through it instead of throwing.
template <typename Side, typename Task>
std::string rtMidiErrorDuring(Side& api, Task&& task)
{
    std::string words;
    api.setErrorCallback(
        [](RtMidiError::Type type, const std::string& text, void* heard) {
            logRtMidiError(type, text, nullptr);
            *static_cast<std::string*>(heard) = text;
        },
        &words);
    try {
        task();
    } catch (const RtMidiError& error) {
        logRtMidiError(error);
        words = error.getMessage();
    }
    api.setErrorCallback(logRtMidiError);
    return words;
}

// Whether an API can start here without printing or blocking.
bool rtMidiApiAvailable(RtMidi::Api api);

template <typename Side>
bool isJack(Side& api)
{
    return api.getCurrentApi() == RtMidi::UNIX_JACK;
}

// The API's object, or none when it cannot start; a JACK client opens within
// the time limit. `setUp` runs on the new object.
template <typename Side>
std::unique_ptr<Side> startRtMidiApi(RtMidi::Api api, const std::string& clientName,
                                     std::function<void(Side&)> setUp = {})
{
    if (!rtMidiApiAvailable(api))
        return nullptr;
    auto make = [api, clientName, setUp]() -> std::unique_ptr<Side> {
        try {
            auto side = std::make_unique<Side>(api, clientName);
            side->setErrorCallback(logRtMidiError);
            if (setUp)
                setUp(*side);
            return side;
        } catch (const RtMidiError& error) {
            logRtMidiError(error);
            return nullptr;
        }
    };
    if (api != RtMidi::UNIX_JACK)
        return make();
    // A JACK client opens with a round trip to the server.
    auto side = makeWithinJackLimit(processJackServer(), make);
    return side ? std::move(*side) : nullptr;
}

// Destroys an API's object; a JACK client only as its server allows.
template <typename Side>
void releaseRtMidiApi(std::unique_ptr<Side> api)
{
    if (api && isJack(*api))
        releaseJackClient(processJackServer(), api);
}

// Runs `task` on the API's object; for JACK within the time limit, and not
// at all once the server has gone. False when the task did not finish; the
// object then stays with the worker that waits for it.
template <typename Side>
bool callRtMidi(Side& api, const std::function<void(Side&)>& task)
{
    if (!isJack(api)) {
        task(api);
        return true;
    }
    if (jackServerGone())
        return false;
    if (runBounded([&api, task] { task(api); }, kJackTimeLimit))
        return true;
    markJackServerHung();
    return false;
}

}  // namespace padscope
