#include "port_session.h"

#include "ini_file.h"
#include "press_messages.h"

namespace padscope {

PortSession::PortSession(MidiOutput& output, Notifier& notifier, Sleep sleep)
    : output_(output), notifier_(notifier), sleep_(std::move(sleep))
{
}

void PortSession::countPorts()
{
    if (output_.portCount() == 0)
        notifier_.notify(Failure::NoPorts, {});
    deviceCount_ = output_.portCount();
}

void PortSession::openCurrent()
{
    deviceKey_ = output_.portKey(deviceIndex_);
    isOpen_ = output_.open(deviceIndex_);
    if (!isOpen_)
        notifier_.notify(Failure::PortOpenFailed, {});
}

void PortSession::resetStep(std::chrono::milliseconds wait)
{
    output_.sendSysex(kGsReset);
    if (sleep_)
        sleep_(wait);
    // A port that finishes opening in the background, during the wait, may
    // only now turn out unusable: that is a failed open like any other.
    if (isOpen_ && output_.openFailedLate()) {
        isOpen_ = false;
        notifier_.notify(Failure::PortOpenFailed, {});
    }
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
    // The saved name is what the settings file gave back of the name.
    if (storedForm(deviceName_) != savedName) {
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
    choosePort(deviceIndex_ + 1 < deviceCount_ ? deviceIndex_ + 1 : 0);
}

void PortSession::choosePort(int index)
{
    close();
    deviceIndex_ = index;
    openCurrent();
    output_.reset();
    resetStep(kPortChangeResetWait);
    nameStep();
}

void PortSession::refreshPorts()
{
    output_.refresh();
    deviceCount_ = output_.portCount();
    if (deviceKey_.empty())
        return;
    for (int i = 0; i < deviceCount_; ++i) {
        if (output_.portKey(i) == deviceKey_) {
            deviceIndex_ = i;
            return;
        }
    }
}

std::vector<std::string> PortSession::portNames() const
{
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(deviceCount_));
    for (int i = 0; i < deviceCount_; ++i)
        names.push_back(output_.portName(i));
    return names;
}

int PortSession::openPortIndex() const
{
    if (!isOpen_ || deviceKey_.empty() || output_.portKey(deviceIndex_) != deviceKey_)
        return -1;
    return deviceIndex_;
}

void PortSession::close()
{
    output_.close();
    isOpen_ = false;
}

}  // namespace padscope
