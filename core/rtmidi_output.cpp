#include "rtmidi_output.h"

#include "rtmidi_api.h"

#include <algorithm>
#include <atomic>

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
    const std::size_t listed = ports_.size();
    for (std::string& name : *names) {
        if (name.empty())
            continue;
        std::string product = kind == RtMidi::LINUX_ALSA ? stablePortName(name) : name;
        std::string key = std::to_string(static_cast<int>(kind)) + '/' + name;
        ports_.push_back({api, std::move(name), clipPortName(std::move(product)), std::move(key)});
    }
    return ports_.size() > listed;
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
    if (probe(index) != PortProbe::Ok)
        return {};
    return ports_[static_cast<std::size_t>(index)].productName;
}

std::string RtMidiOutput::portKey(int index) const
{
    if (probe(index) != PortProbe::Ok)
        return {};
    return ports_[static_cast<std::size_t>(index)].key;
}

PortProbe RtMidiOutput::probe(int index) const
{
    return index >= 0 && index < portCount() ? PortProbe::Ok : PortProbe::NoSuchPort;
}

bool RtMidiOutput::open(int index)
{
    close();
    if (probe(index) != PortProbe::Ok)
        return false;
    const Port& port = ports_[static_cast<std::size_t>(index)];
    RtMidiOut& api = *apis_[port.api];
    // Shared with the worker, which may outlive this call.
    auto opened = std::make_shared<std::atomic<bool>>(false);
    const bool answered = call(api, [opened, fullName = port.fullName, clientName = clientName_](RtMidiOut& out) {
        // The port may have gone, or moved within its API, since it was listed.
        const int current = findPort(out, fullName);
        if (current < 0)
            return;
        try {
            out.openPort(static_cast<unsigned>(current), clientName);
        } catch (const RtMidiError& error) {
            logRtMidiError(error);
            return;
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

void RtMidiOutput::reset()
{
    for (std::uint32_t channel = 0; channel < 16; ++channel)
        sendShort((0xB0 | channel) | 123u << 8);  // All Notes Off
}

void RtMidiOutput::sendShort(std::uint32_t word)
{
    if (!open_)
        return;
    const unsigned char bytes[3] = {static_cast<unsigned char>(word & 0xFF),
                                    static_cast<unsigned char>((word >> 8) & 0x7F),
                                    static_cast<unsigned char>((word >> 16) & 0x7F)};
    // Program Change and Channel Pressure carry one data byte.
    const unsigned kind = bytes[0] & 0xF0;
    const std::size_t size = kind == 0xC0 || kind == 0xD0 ? 2 : 3;
    try {
        open_->sendMessage(bytes, size);
    } catch (const RtMidiError& error) {
        logRtMidiError(error);
    }
}

void RtMidiOutput::sendSysex(std::span<const std::uint8_t> bytes)
{
    if (!open_ || bytes.empty())
        return;
    try {
        open_->sendMessage(bytes.data(), bytes.size());
    } catch (const RtMidiError& error) {
        logRtMidiError(error);
    }
}

}  // namespace padscope
