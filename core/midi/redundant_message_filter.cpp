#include "core/midi/redundant_message_filter.h"

namespace padscope {

namespace {

constexpr int kBankSelectMsb = 0;
constexpr int kBankSelectLsb = 32;
constexpr int kDataEntryMsb = 6;
constexpr int kDataEntryLsb = 38;
constexpr int kFirstChannelModeController = 120;
// CC 98 to 101: NRPN LSB, NRPN MSB, RPN LSB, RPN MSB.
constexpr int kFirstSelector = 98;

// A data byte of the message, 0 where it has none.
int dataByte(std::span<const std::uint8_t> message, std::size_t index)
{
    return index < message.size() ? message[index] & 0x7F : 0;
}

constexpr bool isSelector(int controller) { return controller >= 98 && controller <= 101; }
constexpr bool isDataEntry(int controller)
{
    return controller == kDataEntryMsb || controller == kDataEntryLsb || controller == 96 || controller == 97;
}

}  // namespace

void RedundantMessageFilter::forget(Channel& channel)
{
    channel.controllers.fill(-1);
    channel.selection.fill(-1);
    channel.wantNrpn = false;
    channel.synthNrpn = -1;
    for (auto& entry : channel.data)
        entry.fill(-1);
    channel.program = -1;
    channel.pitchBend = -1;
    channel.bankChanged = false;
}

void RedundantMessageFilter::forget()
{
    for (Channel& channel : channels_)
        forget(channel);
}

void RedundantMessageFilter::dataEntry(Channel& channel, std::span<const std::uint8_t> message, Messages& out)
{
    const int controller = dataByte(message, 1);
    const int value = dataByte(message, 2);
    const auto wanted = [&](int cc) { return channel.selection[static_cast<std::size_t>(cc - kFirstSelector)]; };
    // The registered parameter meant, when it is one whose value is remembered.
    const bool known = !channel.wantNrpn && wanted(101) == 0 && wanted(100) >= 0 && wanted(100) < kKnownParameters;
    const bool entry = controller == kDataEntryMsb || controller == kDataEntryLsb;
    auto* slot = known && entry ? &channel.data[static_cast<std::size_t>(wanted(100))]
                                                [controller == kDataEntryMsb ? 0 : 1]
                                : nullptr;
    if (slot && *slot == value)
        return;

    // Bring the synth's selection up to the wanted one, the kind last.
    const std::uint8_t status = message[0];
    const int first = channel.wantNrpn ? 100 : 98;   // the other kind's selectors
    const int second = channel.wantNrpn ? 98 : 100;  // this kind's selectors
    for (int base : {first, second}) {
        for (int cc : {base + 1, base}) {
            const std::int8_t want = wanted(cc);
            auto& has = channel.controllers[static_cast<std::size_t>(cc)];
            const bool kindSwitch = base == second && cc == base && channel.synthNrpn != (channel.wantNrpn ? 1 : 0);
            if (want < 0 || (want == has && !kindSwitch))
                continue;
            out.push_back(shortMessage(status, cc, want));
            has = want;
        }
    }
    channel.synthNrpn = channel.wantNrpn ? 1 : 0;
    out.push_back(message);
    if (slot)
        *slot = static_cast<std::int8_t>(value);
    else if (known)  // increment or decrement: the value is no longer known
        channel.data[static_cast<std::size_t>(wanted(100))].fill(-1);
}

RedundantMessageFilter::Messages RedundantMessageFilter::filter(std::span<const std::uint8_t> message)
{
    Messages out;
    if (message.empty())
        return out;
    const int status = message[0];
    const int data1 = dataByte(message, 1);
    const int data2 = dataByte(message, 2);
    if (status < 0x80 || status >= 0xF0) {
        out.push_back(message);
        return out;
    }
    Channel& channel = channels_[static_cast<std::size_t>(status & 0x0F)];
    switch (status & 0xF0) {
    case 0xB0:
        if (data1 >= kFirstChannelModeController) {
            forget(channel);  // reset all controllers among them
            out.push_back(message);
        } else if (isSelector(data1)) {
            channel.selection[static_cast<std::size_t>(data1 - kFirstSelector)] = static_cast<std::int8_t>(data2);
            channel.wantNrpn = data1 < 100;
        } else if (isDataEntry(data1)) {
            dataEntry(channel, message, out);
        } else if (channel.controllers[static_cast<std::size_t>(data1)] != data2) {
            channel.controllers[static_cast<std::size_t>(data1)] = static_cast<std::int8_t>(data2);
            if (data1 == kBankSelectMsb || data1 == kBankSelectLsb)
                channel.bankChanged = true;
            out.push_back(message);
        }
        return out;
    case 0xC0:
        // The same program in another bank is another instrument.
        if (channel.program != data1 || channel.bankChanged) {
            channel.program = data1;
            channel.bankChanged = false;
            out.push_back(message);
        }
        return out;
    case 0xE0: {
        const int bend = data1 | data2 << 7;
        if (channel.pitchBend != bend) {
            channel.pitchBend = bend;
            out.push_back(message);
        }
        return out;
    }
    default:
        out.push_back(message);
        return out;
    }
}

}  // namespace padscope
