#include "core/midi/drum_part.h"

#include "core/midi/press_messages.h"
#include "catalogue/kits.h"

#include <algorithm>
#include <array>

namespace padscope {

namespace {

constexpr std::uint8_t kDrumChannel = 9;  // channel 10
constexpr std::uint8_t kBankSelectLsb = 0x20;
constexpr std::uint8_t kAllSoundOff = 120;
constexpr std::uint8_t kAllNotesOff = 123;

// The device ID byte (offset 2) of a reset may be any: a module answers its
// own and 7F.
constexpr std::array<std::uint8_t, 6> kGmSystemOnBytes{0xF0, 0x7E, 0x00, 0x09, 0x01, 0xF7};

template <std::size_t N>
bool matchesExceptDevice(std::span<const std::uint8_t> message, const std::array<std::uint8_t, N>& pattern)
{
    if (message.size() != N)
        return false;
    for (std::size_t i = 0; i < N; ++i)
        if (i != 2 && message[i] != pattern[i])
            return false;
    return message[2] <= 0x7F;
}

bool dataBytes(std::span<const std::uint8_t> bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b <= 0x7F; });
}

}  // namespace

DrumPartEvent readDrumPart(std::span<const std::uint8_t> message)
{
    using Kind = DrumPartEvent::Kind;
    if (message.empty())
        return {};
    const std::uint8_t status = message[0];
    if (status == 0xF0)
        return matchesExceptDevice(message, kGsReset) || matchesExceptDevice(message, kGmSystemOnBytes)
                   ? DrumPartEvent{Kind::Reset, 0}
                   : DrumPartEvent{};
    if (status < 0x80 || status >= 0xF0 || (status & 0x0F) != kDrumChannel || !dataBytes(message.subspan(1)))
        return {};
    switch (status & 0xF0) {
    case 0x80:
        return message.size() == 3 ? DrumPartEvent{Kind::NoteOff, message[1]} : DrumPartEvent{};
    case 0x90:
        if (message.size() != 3)
            return {};
        return {message[2] == 0 ? Kind::NoteOff : Kind::NoteOn, message[1]};
    case 0xB0:
        if (message.size() != 3)
            return {};
        if (message[1] == kBankSelectLsb && findMap(message[2]))
            return {Kind::Map, message[2]};
        if (message[1] == kAllSoundOff || message[1] == kAllNotesOff)
            return {Kind::AllNotesOff, 0};
        return {};
    case 0xC0:
        return message.size() == 2 ? DrumPartEvent{Kind::Program, message[1]} : DrumPartEvent{};
    default:
        return {};
    }
}

}  // namespace padscope
