#include "core/midi/port_session.h"

#include "core/settings/ini_file.h"
#include "core/midi/press_messages.h"

namespace padscope {

PortSession::PortSession(MidiOutput& output, Notifier& notifier, Sleep sleep)
    : output_(output), notifier_(notifier), sleep_(std::move(sleep))
{
}

void PortSession::countPorts()
{
    if (output_.portCount() == 0)
        notifier_.report({Failure::NoPorts});
    portCount_ = output_.portCount();
}

void PortSession::openCurrent()
{
    portKey_ = output_.portKey(portIndex_);
    {
        const std::lock_guard lock(outputMutex_);
        isOpen_ = output_.open(portIndex_);
    }
    if (!isOpen_)
        notifier_.report({Failure::PortOpenFailed, {}, output_.openFailure()});
}

void PortSession::allNotesOff()
{
    sendUnit(allNotesOffMessages());
}

void PortSession::send(std::span<const std::uint8_t> message)
{
    if (unitOwner_.load() == std::this_thread::get_id()) {
        output_.send(message);
        return;
    }
    const std::lock_guard lock(outputMutex_);
    output_.send(message);
}

void PortSession::beginUnit()
{
    outputMutex_.lock();
    unitOwner_ = std::this_thread::get_id();
    output_.beginUnit();
}

void PortSession::endUnit()
{
    output_.endUnit();
    unitOwner_ = std::thread::id{};
    outputMutex_.unlock();
}

void PortSession::sendUnit(std::span<const MidiMessage> messages)
{
    beginUnit();
    for (const MidiMessage& message : messages)
        output_.send(message);
    endUnit();
}

void PortSession::checkLateFailure()
{
    if (!isOpen_ || !output_.openFailedLate())
        return;
    isOpen_ = false;
    portName_.clear();
    notifier_.report({Failure::PortOpenFailed, {}, output_.lateFailure()});
}

void PortSession::resetStep(std::chrono::milliseconds wait)
{
    send(kGsReset);
    if (sleep_)
        sleep_(wait);
    // A port that finishes opening in the background, during the wait, may
    // only now turn out unusable: that is a failed open like any other.
    if (isOpen_ && output_.openFailedLate()) {
        isOpen_ = false;
        notifier_.report({Failure::PortOpenFailed, {}, output_.lateFailure()});
    }
}

void PortSession::nameStep()
{
    // A port that did not open has no name worth showing or remembering.
    portName_ = isOpen_ ? output_.portName(portIndex_) : std::string{};
}

void PortSession::openRemembered(int savedIndex, const std::string& savedName)
{
    portIndex_ = savedIndex;
    if (portIndex_ < 0 || portIndex_ >= output_.portCount())
        portIndex_ = 0;
    openCurrent();
    resetStep(kStartupResetWait);
    nameStep();
    // The saved name is what the settings file gave back of the name.
    if (storedForm(portName_) != savedName) {
        // Not the port that was used last time: fall back to the first one.
        close();
        portIndex_ = 0;
        openCurrent();
        resetStep(kStartupResetWait);
        nameStep();
    }
}

void PortSession::changePort()
{
    choosePort(portIndex_ + 1 < portCount_ ? portIndex_ + 1 : 0);
}

void PortSession::choosePort(int index)
{
    close();
    portIndex_ = index;
    openCurrent();
    allNotesOff();
    resetStep(kPortChangeResetWait);
    nameStep();
}

void PortSession::refreshPorts()
{
    {
        const std::lock_guard lock(outputMutex_);
        output_.refresh();
    }
    portCount_ = output_.portCount();
    if (portKey_.empty())
        return;
    for (int i = 0; i < portCount_; ++i) {
        if (output_.portKey(i) == portKey_) {
            portIndex_ = i;
            return;
        }
    }
}

std::vector<std::string> PortSession::portNames() const
{
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(portCount_));
    for (int i = 0; i < portCount_; ++i)
        names.push_back(output_.portName(i));
    return names;
}

int PortSession::openPortIndex() const
{
    if (!isOpen_ || portKey_.empty() || output_.portKey(portIndex_) != portKey_)
        return -1;
    return portIndex_;
}

void PortSession::close()
{
    {
        const std::lock_guard lock(outputMutex_);
        output_.close();
    }
    isOpen_ = false;
}

}  // namespace padscope
