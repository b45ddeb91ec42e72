#pragma once

#include "core/midi/controllers.h"
#include "core/midi/midi_message.h"

#include <array>
#include <cstdint>

namespace padscope {

// The MIDI channel every short message goes out on: 10, the rhythm channel.
inline constexpr std::uint8_t kStatusControlChange = 0xB9;
inline constexpr std::uint8_t kStatusProgramChange = 0xC9;
inline constexpr std::uint8_t kStatusPitchBend = 0xE9;
inline constexpr std::uint8_t kStatusNoteOn = 0x99;

// GS Reset: Roland data set 1 of 00 to address 40 00 7F, device id 10h.
inline constexpr std::array<std::uint8_t, 11> kGsReset{
    0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};

// Everything a pad press sends, in order: the controller state, bank and
// program, bend range, sends, pitch bend and finally the Note On.
inline constexpr std::size_t kPressMessageCount = 23;
// The status strip is updated after this many of them.
inline constexpr std::size_t kMessagesBeforeStatus = 18;
using PressMessages = std::array<MidiMessage, kPressMessageCount>;

PressMessages pressMessages(const ControllerValues& controllers, int note, int program, int map);

// All Notes Off on each of the 16 channels: what silences a port.
std::array<MidiMessage, 16> allNotesOffMessages();

// A release is a Note On with velocity 0.
inline MidiMessage releaseMessage(int note) { return shortMessage(kStatusNoteOn, note, 0); }
inline MidiMessage programChangeMessage(int program) { return shortMessage(kStatusProgramChange, program); }

}  // namespace padscope
