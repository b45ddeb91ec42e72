#include "core/midi/rtmidi_input.h"

#include "core/platform/exception_text.h"
#include "core/midi/rtmidi_api.h"

namespace padscope {

RtMidiInput::RtMidiInput(std::string clientName)
{
    const std::string own = clientName;
    ports_ = std::make_unique<RtMidiPorts<RtMidiIn>>(
        std::move(clientName),
        [delivery = delivery_.get()](RtMidiIn& in) {
            // Everything arrives, system exclusive, clock and active sensing
            // included: it is all passed on to the output. What is handed on
            // while no port is open goes nowhere.
            in.ignoreTypes(false, false, false);
            in.setCallback(&RtMidiInput::deliver, delivery);
        },
        [own](const std::string& name) {
            // The program's own clients: "Padscope:..." or "Padscope-01:..."
            // when the name was taken.
            const std::string client = name.substr(0, name.find(':'));
            return client != own && client.rfind(own + '-', 0) != 0;
        });
    // Nothing is listed yet: a program that watches no input opens no
    // client for it until its list is first asked for.
}

RtMidiInput::~RtMidiInput()
{
    close();
    ports_.reset();
}

void RtMidiInput::refresh()
{
    ports_->refresh();
}

std::vector<std::string> RtMidiInput::portNames() const
{
    std::vector<std::string> names;
    names.reserve(ports_->ports().size());
    for (const auto& port : ports_->ports())
        names.push_back(port.stableName());
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
    {
        const std::lock_guard lock(delivery_->mutex);
        delivery_->receive = std::move(receive);
    }
    RtMidiOpening opening = ports_->open(index, ports_->clientName() + " input");
    failedOpen_ = std::move(opening.reason);
    if (opening.opened)
        return true;
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
    ports_->close();
}

}  // namespace padscope
