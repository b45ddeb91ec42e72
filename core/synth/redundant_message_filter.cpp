#include "redundant_message_filter.h"

namespace padscope {

namespace {

constexpr int kBankSelectMsb = 0;
constexpr int kBankSelectLsb = 32;
constexpr int kFirstChannelModeController = 120;

// Data entry and increment/decrement act on the selected parameter: the same
// value may mean another change each time.
constexpr bool isDataEntry(int controller)
{
    return controller == 6 || controller == 38 || controller == 96 || controller == 97;
}

}  // namespace

void RedundantMessageFilter::forget(Channel& channel)
{
    channel.controllers.fill(-1);
    channel.program = -1;
    channel.pitchBend = -1;
    channel.bankChanged = false;
}

void RedundantMessageFilter::forget()
{
    for (Channel& channel : channels_)
        forget(channel);
}

bool RedundantMessageFilter::passes(std::uint32_t word)
{
    const int status = static_cast<int>(word & 0xFF);
    const int data1 = static_cast<int>(word >> 8 & 0x7F);
    const int data2 = static_cast<int>(word >> 16 & 0x7F);
    if (status < 0x80 || status >= 0xF0)
        return true;
    Channel& channel = channels_[static_cast<std::size_t>(status & 0x0F)];
    switch (status & 0xF0) {
    case 0xB0:
        if (data1 >= kFirstChannelModeController) {
            forget(channel);  // reset all controllers among them
            return true;
        }
        if (isDataEntry(data1))
            return true;
        if (channel.controllers[static_cast<std::size_t>(data1)] == data2)
            return false;
        channel.controllers[static_cast<std::size_t>(data1)] = static_cast<std::int8_t>(data2);
        if (data1 == kBankSelectMsb || data1 == kBankSelectLsb)
            channel.bankChanged = true;
        return true;
    case 0xC0:
        // The same program in another bank is another instrument.
        if (channel.program == data1 && !channel.bankChanged)
            return false;
        channel.program = data1;
        channel.bankChanged = false;
        return true;
    case 0xE0: {
        const int bend = data1 | data2 << 7;
        if (channel.pitchBend == bend)
            return false;
        channel.pitchBend = bend;
        return true;
    }
    default:
        return true;
    }
}

}  // namespace padscope
