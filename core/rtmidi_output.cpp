#include "core/rtmidi_output.h"

#include "core/rtmidi_api.h"

#include <algorithm>
#include <atomic>
#include <thread>

#if defined(__LINUX_ALSA__)
#include <unistd.h>
#endif
#if defined(PADSCOPE_WITH_JACK)
#include <jack/jack.h>
#endif

namespace padscope {

namespace {

// The API's current index of the named port, or -1.
int findPort(RtMidiOut& api, const std::string& fullName)
{
    const unsigned count = api.getPortCount();
    for (unsigned i = 0; i < count; ++i)
        if (api.getPortName(i) == fullName)
            return static_cast<int>(i);
    return -1;
}

// Opens the named port, or connects RtMidi's open port to it once more.
bool openAt(RtMidiOut& out, const std::string& fullName, const std::string& clientName)
{
    // The port may have gone, or moved within its API, since it was listed.
    const int current = findPort(out, fullName);
    if (current < 0)
        return false;
    try {
        out.openPort(static_cast<unsigned>(current), clientName);
    } catch (const RtMidiError& error) {
        logRtMidiError(error);
        return false;
    }
    return true;
}

#if defined(PADSCOPE_WITH_JACK)
struct CloseJackClient {
    void operator()(jack_client_t* client) const { jack_client_close(client); }
};
using JackClient = std::unique_ptr<jack_client_t, CloseJackClient>;

// Full names of the JACK MIDI output ports called `portName`, of any client.
std::vector<std::string> outputPortsNamed(jack_client_t* client, const std::string& portName)
{
    std::vector<std::string> names;
    const char** ports = jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput);
    if (!ports)
        return names;
    const std::string suffix = ':' + portName;
    for (const char** port = ports; *port; ++port)
        if (std::string_view(*port).ends_with(suffix))
            names.emplace_back(*port);
    jack_free(ports);
    return names;
}
#endif

}  // namespace

// jack_connect returns once the server has queued the connection for a later
// process cycle; what RtMidi sends before that cycle goes nowhere. This client
// reads the graph the server runs, to wait for the connection. It is never
// activated, so it takes no part in the cycles.
struct RtMidiOutput::JackWatch {
#if defined(PADSCOPE_WITH_JACK)
    JackClient client;
    std::string ownPort;  // our port's full name, once known

    // Before RtMidi registers our port, while its name is unknown: the ports
    // of that name that other clients have.
    std::vector<std::string> othersBefore(const std::string& portName) const
    {
        return ownPort.empty() ? outputPortsNamed(client.get(), portName) : std::vector<std::string>{};
    }

    // Whether our port's connection to `target` is part of the graph the
    // server runs; also true when our port cannot be told apart.
    bool connectionLive(const std::string& portName, const std::vector<std::string>& others,
                        const std::string& target)
    {
        if (ownPort.empty()) {
            // JACK may have renamed RtMidi's client: ours is the one new port.
            auto added = outputPortsNamed(client.get(), portName);
            std::erase_if(added, [&others](const std::string& name) { return std::ranges::count(others, name) > 0; });
            if (added.size() != 1)
                return true;
            ownPort = added.front();
        }
        const jack_port_t* own = jack_port_by_name(client.get(), ownPort.c_str());
        return !own || jack_port_connected_to(own, target.c_str()) > 0;
    }
#else
    std::vector<std::string> othersBefore(const std::string&) const { return {}; }
    bool connectionLive(const std::string&, const std::vector<std::string>&, const std::string&) { return true; }
#endif
};

std::string stablePortName(std::string name)
{
    // Strip a trailing " <client>:<port>" made of digits.
    const std::size_t blank = name.rfind(' ');
    if (blank == std::string::npos || blank == 0)
        return name;
    const std::string_view address = std::string_view(name).substr(blank + 1);
    const std::size_t colon = address.find(':');
    auto digits = [](std::string_view s) {
        return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (colon == std::string_view::npos || !digits(address.substr(0, colon)) || !digits(address.substr(colon + 1)))
        return name;
    name.resize(blank);
    return name;
}

RtMidiOutput::RtMidiOutput(std::string clientName) : clientName_(std::move(clientName))
{
    quietAudioSystem();
    refresh();
}

void RtMidiOutput::refresh()
{
    ports_.clear();
    std::vector<RtMidi::Api> compiled;
    RtMidi::getCompiledApi(compiled);
    for (RtMidi::Api api : compiled) {
        if (api == RtMidi::RTMIDI_DUMMY)
            continue;
        // An API keeps its object once it had ports: the open port may be one
        // of them, and a JACK client is not closed lightly.
        const auto running = std::find_if(apis_.begin(), apis_.end(),
                                          [api](const auto& out) { return out->getCurrentApi() == api; });
        if (running != apis_.end()) {
            listPorts(static_cast<std::size_t>(running - apis_.begin()));
            continue;
        }
        auto out = startRtMidiApi<RtMidiOut>(api, clientName_);
        if (!out)
            continue;
        apis_.push_back(std::move(out));
        // An API without ports keeps no client open for nothing.
        if (!listPorts(apis_.size() - 1)) {
            releaseRtMidiApi(std::move(apis_.back()));
            apis_.pop_back();
        } else if (api == RtMidi::UNIX_JACK) {
            watchJack();
        }
    }
}

void RtMidiOutput::watchJack()
{
#if defined(PADSCOPE_WITH_JACK)
    if (jackWatch_ || jackServerGone())
        return;
    const std::string name = clientName_ + "-watch";
    auto client = makeWithinJackLimit(processJackServer(), [name] {
        jack_status_t status{};
        return JackClient(jack_client_open(name.c_str(), JackNoStartServer, &status));
    });
    if (!client || !*client)
        return;
    jackWatch_ = std::make_shared<JackWatch>();
    jackWatch_->client = std::move(*client);
#endif
}

bool RtMidiOutput::listPorts(std::size_t api)
{
    RtMidiOut& out = *apis_[api];
    const RtMidi::Api kind = out.getCurrentApi();
    // Shared with the worker, which may outlive this call.
    auto names = std::make_shared<std::vector<std::string>>();
    const bool answered = call(out, [names](RtMidiOut& o) {
        const unsigned count = o.getPortCount();
        for (unsigned i = 0; i < count; ++i)
            names->push_back(o.getPortName(i));
    });
    if (!answered)
        return false;
    const std::size_t before = ports_.size();
    for (std::string& name : *names) {
        if (name.empty())
            continue;
        std::string product = kind == RtMidi::LINUX_ALSA ? stablePortName(name) : name;
        std::string key = std::to_string(static_cast<int>(kind)) + '/' + name;
        ports_.push_back({api, std::move(name), clipPortName(std::move(product)), std::move(key)});
    }
    return ports_.size() > before;
}

RtMidiOutput::~RtMidiOutput()
{
    close();
    for (auto& api : apis_)
        releaseRtMidiApi(std::move(api));
#if defined(PADSCOPE_WITH_JACK)
    if (jackWatch_)
        releaseJackClient(processJackServer(), jackWatch_->client);
#endif
}

bool RtMidiOutput::call(RtMidiOut& api, const std::function<void(RtMidiOut&)>& task)
{
    return callRtMidi(api, task);
}

std::string RtMidiOutput::portName(int index) const
{
    if (!listed(index))
        return {};
    return ports_[static_cast<std::size_t>(index)].productName;
}

std::string RtMidiOutput::portKey(int index) const
{
    if (!listed(index))
        return {};
    return ports_[static_cast<std::size_t>(index)].key;
}

bool RtMidiOutput::open(int index)
{
    close();
    if (!listed(index))
        return false;
    const Port& port = ports_[static_cast<std::size_t>(index)];
    RtMidiOut& api = *apis_[port.api];
    // Shared with the worker, which may outlive this call.
    auto opened = std::make_shared<std::atomic<bool>>(false);
    auto watch = isJack(api) ? jackWatch_ : nullptr;
    // Waiting for the connection never makes the call overrun its time limit.
    const auto deadline = std::chrono::steady_clock::now() + kJackTimeLimit * 3 / 4;
    const bool answered = call(api, [opened, watch, deadline, fullName = port.fullName,
                                     clientName = clientName_](RtMidiOut& out) {
        const auto others = watch ? watch->othersBefore(clientName) : std::vector<std::string>{};
        if (!openAt(out, fullName, clientName))
            return;
        if (watch) {
            // A peer that has only just started takes no connection until it
            // is active: RtMidi's connect is asked for again until it holds.
            using namespace std::chrono_literals;
            auto again = std::chrono::steady_clock::now() + 100ms;
            while (out.isPortOpen() && !watch->connectionLive(clientName, others, fullName)) {
                const auto now = std::chrono::steady_clock::now();
                if (now >= deadline) {
                    qCDebug(lcMidi, "The JACK connection to %s is not live yet; sending all the same", fullName.c_str());
                    break;
                }
                if (now >= again) {
                    openAt(out, fullName, clientName);
                    again = now + 100ms;
                }
                std::this_thread::sleep_for(1ms);
            }
        }
        *opened = out.isPortOpen();
    });
    if (!answered || !*opened)
        return false;
    open_ = &api;
    return true;
}

void RtMidiOutput::close()
{
    if (!open_)
        return;
    call(*open_, [](RtMidiOut& out) {
        try {
            out.closePort();
        } catch (const RtMidiError& error) {
            logRtMidiError(error);
        }
    });
    open_ = nullptr;
}

void RtMidiOutput::send(std::span<const std::uint8_t> message)
{
    if (!open_ || message.empty())
        return;
    try {
        open_->sendMessage(message.data(), message.size());
    } catch (const RtMidiError& error) {
        logRtMidiError(error);
    }
}

}  // namespace padscope
