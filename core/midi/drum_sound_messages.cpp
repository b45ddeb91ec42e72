#include "core/midi/drum_sound_messages.h"

#include "core/midi/press_messages.h"

#include <algorithm>
#include <cstdio>

namespace padscope {

namespace {

constexpr int kNrpnMsb = 99;
constexpr int kNrpnLsb = 98;
constexpr int kDataEntry = 6;
constexpr int kNull = 0x7F;

// Where the press puts the controllers around the map and the kit.
constexpr std::size_t kBankSelectMsbAt = 9;
constexpr std::size_t kProgramAt = 11;
constexpr std::size_t kNoteOnAt = kPressMessageCount - 1;

void appendVariableLength(std::string& out, std::uint32_t value)
{
    char bytes[4];
    int count = 0;
    do {
        bytes[count++] = static_cast<char>(value & 0x7F);
        value >>= 7;
    } while (value != 0 && count < 4);
    while (count > 1)
        out += static_cast<char>(bytes[--count] | 0x80);
    out += bytes[0];
}

void appendBigEndian(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::vector<MidiMessage> drumSoundMessages(const NoteEdit& edit, int note, int map)
{
    std::vector<MidiMessage> messages;
    for (const DrumParameterInfo& info : kDrumParameters) {
        const auto value = edit.value(info.parameter);
        if (!value || !mapHasParameter(map, info.parameter))
            continue;
        messages.push_back(shortMessage(kStatusControlChange, kNrpnMsb, info.nrpnMsb));
        messages.push_back(shortMessage(kStatusControlChange, kNrpnLsb, note));
        messages.push_back(shortMessage(kStatusControlChange, kDataEntry, *value));
    }
    if (!messages.empty()) {
        messages.push_back(shortMessage(kStatusControlChange, kNrpnMsb, kNull));
        messages.push_back(shortMessage(kStatusControlChange, kNrpnLsb, kNull));
    }
    return messages;
}

std::vector<MidiMessage> drumSoundSetUp(const ControllerValues& controllers, int map, int program,
                                        const DrumEdits::KitEdits* edits)
{
    const PressMessages press = pressMessages(controllers, 0, program, map);
    std::vector<MidiMessage> messages{MidiMessage(kGsReset)};
    for (std::size_t i = kBankSelectMsbAt; i <= kProgramAt; ++i)
        messages.push_back(press[i]);
    for (std::size_t i = 0; i < kNoteOnAt; ++i)
        if (i < kBankSelectMsbAt || i > kProgramAt)
            messages.push_back(press[i]);
    if (edits)
        for (const auto& [note, edit] : *edits)
            for (const MidiMessage& m : drumSoundMessages(edit, note, map))
                messages.push_back(m);
    return messages;
}

std::string hexText(const MidiMessage& message)
{
    std::string text;
    for (const std::uint8_t byte : message.bytes()) {
        char digits[4];
        std::snprintf(digits, sizeof digits, text.empty() ? "%02X" : " %02X", static_cast<unsigned>(byte));
        text += digits;
    }
    return text;
}

std::string hexLines(const std::vector<MidiMessage>& messages)
{
    std::string text;
    for (const MidiMessage& m : messages)
        text += hexText(m) + '\n';
    return text;
}

std::vector<TimedMessage> drumSoundSong(const ControllerValues& controllers, int map, int program,
                                        const DrumEdits::KitEdits* edits)
{
    std::vector<TimedMessage> song;
    for (const MidiMessage& m : drumSoundSetUp(controllers, map, program, edits))
        song.push_back({song.empty() ? 0 : kSetUpAfterReset, m});
    if (!edits)
        return song;
    int tick = kTicksPerBar;
    for (const auto& [note, edit] : *edits) {
        song.push_back({tick, shortMessage(kStatusNoteOn, note, controllers[kVelocity])});
        song.push_back({tick + kTicksPerQuarter / 2, releaseMessage(note)});
        tick += kTicksPerQuarter;
    }
    return song;
}

std::string standardMidiFile(const std::vector<TimedMessage>& messages)
{
    std::string track;
    // Tempo 500000 microseconds a quarter, then 4/4 with 24 clocks a click.
    track += std::string("\x00\xFF\x51\x03\x07\xA1\x20", 7);
    track += std::string("\x00\xFF\x58\x04\x04\x02\x18\x08", 8);
    int last = 0;
    for (const TimedMessage& timed : messages) {
        const int tick = std::max(timed.tick, last);
        appendVariableLength(track, static_cast<std::uint32_t>(tick - last));
        last = tick;
        const auto bytes = timed.message.bytes();
        if (timed.message.isSysex()) {
            track += '\xF0';
            appendVariableLength(track, static_cast<std::uint32_t>(bytes.size() - 1));
            track.append(reinterpret_cast<const char*>(bytes.data()) + 1, bytes.size() - 1);
        } else {
            track.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        }
    }
    track += std::string("\x00\xFF\x2F\x00", 4);

    std::string file = "MThd";
    appendBigEndian(file, 6, 4);
    appendBigEndian(file, 0, 2);  // format 0
    appendBigEndian(file, 1, 2);  // one track
    appendBigEndian(file, kTicksPerQuarter, 2);
    file += "MTrk";
    appendBigEndian(file, static_cast<std::uint32_t>(track.size()), 4);
    return file + track;
}

std::optional<DrumSoundReader::Change> DrumSoundReader::read(std::span<const std::uint8_t> message)
{
    if (message.size() != 3 || message[0] != kStatusControlChange || message[1] > 0x7F || message[2] > 0x7F)
        return std::nullopt;
    const int controller = message[1];
    const int value = message[2];
    switch (controller) {
    case kNrpnMsb:
        msb_ = value;
        return std::nullopt;
    case kNrpnLsb:
        lsb_ = value;
        return std::nullopt;
    case 100:  // an RPN takes Data Entry from here on
    case 101:
        msb_ = lsb_ = kNull;
        return std::nullopt;
    case kDataEntry:
        if (lsb_ == kNull)
            return std::nullopt;
        for (const DrumParameterInfo& info : kDrumParameters)
            if (info.nrpnMsb == msb_)
                return Change{lsb_, info.parameter, value};
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

}  // namespace padscope
