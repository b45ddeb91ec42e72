#include "core/midi/rtmidi_output.h"

#include "core/midi/rtmidi_api.h"

#include <algorithm>
#include <atomic>

#if defined(__LINUX_ALSA__)
#include <unistd.h>
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

// Opens the named port, or connects RtMidi's open port to it once more;
// `why` takes RtMidi's words when that fails.
bool openAt(RtMidiOut& out, const std::string& fullName, const std::string& clientName, std::string& why)
{
    // The port may have gone, or moved within its API, since it was listed.
    const int current = findPort(out, fullName);
    if (current < 0)
        return false;
    why = rtMidiErrorDuring(out, [&] { out.openPort(static_cast<unsigned>(current), clientName); });
    return true;
}

}  // namespace

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
        // JACK has a client of the program's own (jack_midi.h).
        if (api == RtMidi::RTMIDI_DUMMY || api == RtMidi::UNIX_JACK)
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
        }
    }
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
    failedOpen_.clear();
    if (!listed(index))
        return false;
    const Port& port = ports_[static_cast<std::size_t>(index)];
    RtMidiOut& api = *apis_[port.api];
    // Shared with the worker, which may outlive this call.
    auto opened = std::make_shared<std::atomic<bool>>(false);
    auto why = std::make_shared<std::string>();
    const bool answered = call(api, [opened, why, fullName = port.fullName, clientName = clientName_](RtMidiOut& out) {
        *opened = openAt(out, fullName, clientName, *why) && out.isPortOpen();
    });
    if (!answered || !*opened) {
        if (answered)
            failedOpen_ = *why;
        return false;
    }
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
