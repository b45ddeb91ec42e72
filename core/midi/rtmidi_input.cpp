#include "core/midi/rtmidi_input.h"

#include "core/platform/exception_text.h"
#include "core/midi/rtmidi_api.h"
#include "core/midi/rtmidi_output.h"

#include <algorithm>
#include <atomic>

namespace padscope {

RtMidiInput::RtMidiInput(std::string clientName) : clientName_(std::move(clientName))
{
    // Nothing is listed yet: a program that watches no input opens no
    // client for it until its list is first asked for.
    quietAudioSystem();
}

RtMidiInput::~RtMidiInput()
{
    close();
    for (auto& api : apis_)
        releaseRtMidiApi(std::move(api));
    if (jackServerGone()) {
        // A JACK client that was given up, not destroyed, may still call
        // deliver(): what it points to stays.
        auto kept = std::make_unique<std::shared_ptr<Delivery>>(delivery_);
        abandon(kept);
    }
}

void RtMidiInput::refresh()
{
    ports_.clear();
    std::vector<RtMidi::Api> compiled;
    RtMidi::getCompiledApi(compiled);
    for (RtMidi::Api kind : compiled) {
        // JACK has a client of the program's own (jack_midi.h).
        if (kind == RtMidi::UNIX_JACK)
            continue;
        const auto running =
            std::find_if(apis_.begin(), apis_.end(), [kind](const auto& in) { return in->getCurrentApi() == kind; });
        if (running != apis_.end()) {
            listPorts(static_cast<std::size_t>(running - apis_.begin()));
            continue;
        }
        // Everything arrives, system exclusive, clock and active sensing
        // included: it is all passed on to the output.
        auto in = startRtMidiApi<RtMidiIn>(kind, clientName_,
                                           [](RtMidiIn& i) { i.ignoreTypes(false, false, false); });
        if (!in)
            continue;
        apis_.push_back(std::move(in));
        // An API without ports keeps no client open for nothing.
        if (!listPorts(apis_.size() - 1)) {
            releaseRtMidiApi(std::move(apis_.back()));
            apis_.pop_back();
        }
    }
}

bool RtMidiInput::listPorts(std::size_t api)
{
    RtMidiIn& in = *apis_[api];
    const bool alsa = in.getCurrentApi() == RtMidi::LINUX_ALSA;
    // Shared with the worker, which may outlive this call.
    auto names = std::make_shared<std::vector<std::string>>();
    if (!callRtMidi<RtMidiIn>(in, [names](RtMidiIn& i) {
            const unsigned count = i.getPortCount();
            for (unsigned p = 0; p < count; ++p)
                names->push_back(i.getPortName(p));
        }))
        return false;
    const std::size_t listed = ports_.size();
    for (std::string& name : *names) {
        // The program's own clients: ALSA "Padscope:...", JACK "Padscope:..." or
        // "Padscope-01:..." when the name was taken.
        const std::size_t colon = name.find(':');
        const std::string client = name.substr(0, colon);
        if (name.empty() || client == clientName_ || client.rfind(clientName_ + '-', 0) == 0)
            continue;
        std::string shown = alsa ? stablePortName(name) : name;
        ports_.push_back({api, std::move(name), std::move(shown)});
    }
    return ports_.size() > listed;
}

std::vector<std::string> RtMidiInput::portNames() const
{
    std::vector<std::string> names;
    names.reserve(ports_.size());
    for (const Port& port : ports_)
        names.push_back(port.shownName);
    return names;
}

void RtMidiInput::deliver(double, std::vector<unsigned char>* message, void* data)
{
    auto* delivery = static_cast<Delivery*>(data);
    if (!message || message->empty())
        return;
    const std::lock_guard lock(delivery->mutex);
    // RtMidi's thread: an exception that left it would end the program.
    try {
        if (delivery->receive)
            delivery->receive(*message, false);
    } catch (...) {
        qCWarning(lcMidi, "Incoming MIDI could not be handed on: %s", currentExceptionText().c_str());
    }
}

bool RtMidiInput::open(int index, Receive receive)
{
    close();
    if (index < 0 || index >= static_cast<int>(ports_.size()))
        return false;
    const Port& port = ports_[static_cast<std::size_t>(index)];
    RtMidiIn& api = *apis_[port.api];
    {
        const std::lock_guard lock(delivery_->mutex);
        delivery_->receive = std::move(receive);
    }
    failedOpen_.clear();
    auto opened = std::make_shared<std::atomic<bool>>(false);
    auto why = std::make_shared<std::string>();
    const bool answered = callRtMidi<RtMidiIn>(api, [opened, why, fullName = port.fullName, clientName = clientName_,
                                     delivery = delivery_.get()](RtMidiIn& in) {
        // The port may have gone, or moved within its API, since it was listed.
        const unsigned count = in.getPortCount();
        for (unsigned p = 0; p < count; ++p) {
            if (in.getPortName(p) != fullName)
                continue;
            *why = rtMidiErrorDuring(in, [&] {
                in.setCallback(&RtMidiInput::deliver, delivery);
                in.openPort(p, clientName + " input");
            });
            *opened = in.isPortOpen();
            return;
        }
    });
    if (answered && *opened) {
        open_ = &api;
        return true;
    }
    if (answered) {
        api.cancelCallback();
        failedOpen_ = *why;
    }
    const std::lock_guard lock(delivery_->mutex);
    delivery_->receive = nullptr;
    return false;
}

void RtMidiInput::close()
{
    {
        // From here on nothing more is handed on, even if the port lingers.
        const std::lock_guard lock(delivery_->mutex);
        delivery_->receive = nullptr;
    }
    if (!open_)
        return;
    callRtMidi<RtMidiIn>(*open_, [](RtMidiIn& in) {
        try {
            in.closePort();
            in.cancelCallback();
        } catch (const RtMidiError& error) {
            logRtMidiError(error);
        }
    });
    open_ = nullptr;
}

}  // namespace padscope
