#include "port_session.h"

#include "audition.h"

namespace padscope {

PortSession::PortSession(MidiOutput& output, Notifier& notifier, Sleep sleep)
    : output_(output), notifier_(notifier), sleep_(std::move(sleep))
{
}

void PortSession::countPorts()
{
    if (output_.portCount() == 0)
        notifier_.showMessage(kNoPortsMessage);
    deviceCount_ = output_.portCount();
}

void PortSession::openCurrent()
{
    isOpen_ = output_.open(deviceIndex_);
    if (!isOpen_)
        notifier_.showMessage(kOpenFailedMessage);
}

void PortSession::resetStep(std::chrono::milliseconds wait)
{
    output_.sendSysex(kGsReset);
    if (sleep_)
        sleep_(wait);
}

void PortSession::nameStep()
{
    // A port that did not open has no name worth showing or remembering.
    deviceName_ = isOpen_ ? output_.portName(deviceIndex_) : std::string{};
}

void PortSession::openRemembered(int savedIndex, const std::string& savedName)
{
    deviceIndex_ = savedIndex;
    if (deviceIndex_ > deviceCount_ || output_.probe(deviceIndex_) == PortProbe::NoSuchPort)
        deviceIndex_ = 0;
    openCurrent();
    resetStep(kStartupResetWait);
    nameStep();
    if (deviceName_ != savedName) {
        // Not the port that was used last time: fall back to the first one.
        close();
        deviceIndex_ = 0;
        openCurrent();
        resetStep(kStartupResetWait);
        nameStep();
    }
}

void PortSession::changePort()
{
    close();
    deviceIndex_ = deviceIndex_ + 1 < deviceCount_ ? deviceIndex_ + 1 : 0;
    openCurrent();
    output_.reset();
    resetStep(kPortChangeResetWait);
    nameStep();
}

void PortSession::close()
{
    output_.close();
    isOpen_ = false;
}

}  // namespace padscope
