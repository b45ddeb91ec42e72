#pragma once

#include "core/synth/audio_log.h"

#include <RtMidi.h>

#include <QLoggingCategory>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace padscope {

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

// The name a port is shown and remembered by. The ALSA sequencer appends the
// port's address ("20:0"), which changes when devices are plugged in another
// order; without it a module keeps its name from one run to the next.
std::string stablePortName(std::string rtMidiName);

// Whether a port opened, and RtMidi's own words when it said why not.
struct RtMidiOpening {
    bool opened = false;
    std::string reason;
};

// The ports of one side of RtMidi (`Side` is RtMidiIn or RtMidiOut) in every
// API it was built with but JACK, which has a client of the program's own
// (jack_midi.h): the ALSA sequencer on Linux, WinMM on Windows, CoreMIDI on
// macOS. An API that cannot start adds no ports and prints nothing; one
// keeps its object once it had ports, as the open port may be one of them.
template <typename Side>
class RtMidiPorts {
public:
    // A port is known by its API and its full name, never by a bare index:
    // the API's own numbering shifts as ports come and go.
    struct Port {
        Side* api;
        RtMidi::Api kind;
        std::string fullName;  // as RtMidi lists it
        std::string stableName() const { return kind == RtMidi::LINUX_ALSA ? stablePortName(fullName) : fullName; }
    };
    using SetUp = std::function<void(Side&)>;
    using Keep = std::function<bool(const std::string& fullName)>;

    // `setUp` runs on each API's new object; `keep` says which of its ports
    // are listed (none of empty name in any case). `only` walks that API
    // alone, JACK included (the tests' private server).
    RtMidiPorts(std::string clientName, SetUp setUp = {}, Keep keep = {},
                std::optional<RtMidi::Api> only = std::nullopt)
        : clientName_(std::move(clientName)), setUp_(std::move(setUp)), keep_(std::move(keep)), only_(only)
    {
        quietAudioSystem();
    }
    ~RtMidiPorts() { close(); }
    RtMidiPorts(const RtMidiPorts&) = delete;
    RtMidiPorts& operator=(const RtMidiPorts&) = delete;

    const std::string& clientName() const { return clientName_; }
    const std::vector<Port>& ports() const { return ports_; }
    bool listed(int index) const { return index >= 0 && index < static_cast<int>(ports_.size()); }
    // The object of the open port; none while none is open.
    Side* opened() const { return open_; }

    // Lists the ports again, in a stable order.
    void refresh()
    {
        ports_.clear();
        std::vector<RtMidi::Api> compiled;
        RtMidi::getCompiledApi(compiled);
        for (const RtMidi::Api kind : compiled) {
            if (only_ ? kind != *only_ : kind == RtMidi::RTMIDI_DUMMY || kind == RtMidi::UNIX_JACK)
                continue;
            const auto running =
                std::find_if(apis_.begin(), apis_.end(), [kind](const Api& api) { return api.kind == kind; });
            if (running != apis_.end()) {
                listPorts(*running);
                continue;
            }
            auto object = start(kind);
            if (!object)
                continue;
            apis_.push_back({kind, std::move(object)});
            // An API without ports keeps no client open for nothing.
            if (!listPorts(apis_.back()))
                apis_.pop_back();
        }
    }

    // Opens listed port `index` as `portName` of the program's client, after
    // closing the open one.
    RtMidiOpening open(int index, const std::string& portName)
    {
        close();
        if (!listed(index))
            return {};
        const Port& port = ports_[static_cast<std::size_t>(index)];
        // The port may have gone, or moved within its API, since it was listed.
        const auto number = numberOf(*port.api, port.fullName);
        if (!number)
            return {};
        std::string reason = rtMidiErrorDuring(*port.api, [&] { port.api->openPort(*number, portName); });
        if (!port.api->isPortOpen())
            return {false, std::move(reason)};
        open_ = port.api;
        return {true, {}};
    }

    void close()
    {
        if (!open_)
            return;
        try {
            open_->closePort();
        } catch (const RtMidiError& error) {
            logRtMidiError(error);
        }
        open_ = nullptr;
    }

private:
    struct Api {
        RtMidi::Api kind;
        std::unique_ptr<Side> object;
    };

    std::unique_ptr<Side> start(RtMidi::Api kind) const
    {
        if (!rtMidiApiAvailable(kind))
            return nullptr;
        try {
            auto object = std::make_unique<Side>(kind, clientName_);
            object->setErrorCallback(logRtMidiError);
            if (setUp_)
                setUp_(*object);
            return object;
        } catch (const RtMidiError& error) {
            logRtMidiError(error);
            return nullptr;
        }
    }

    static std::optional<unsigned> numberOf(Side& api, const std::string& fullName)
    {
        const unsigned count = api.getPortCount();
        for (unsigned i = 0; i < count; ++i)
            if (api.getPortName(i) == fullName)
                return i;
        return std::nullopt;
    }

    // Adds the ports of `api` to the list; false when it adds none.
    bool listPorts(const Api& api)
    {
        const std::size_t before = ports_.size();
        const unsigned count = api.object->getPortCount();
        for (unsigned i = 0; i < count; ++i)
            if (std::string name = api.object->getPortName(i); !name.empty() && (!keep_ || keep_(name)))
                ports_.push_back({api.object.get(), api.kind, std::move(name)});
        return ports_.size() > before;
    }

    std::string clientName_;
    SetUp setUp_;
    Keep keep_;
    std::optional<RtMidi::Api> only_;
    std::vector<Api> apis_;
    std::vector<Port> ports_;
    Side* open_ = nullptr;
};

}  // namespace padscope
