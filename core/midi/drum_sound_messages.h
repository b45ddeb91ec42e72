#pragma once

#include "core/midi/controllers.h"
#include "core/midi/midi_message.h"
#include "core/settings/drum_edits.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace padscope {

// NRPN null: CC 99 and CC 98 at 7FH, so a later Data Entry changes nothing.
inline constexpr std::size_t kNrpnNullCount = 2;

// The NRPN messages of a note's edits, in parameter order (CC 99 the
// parameter, CC 98 the note, CC 6 the value), then NRPN null; nothing when
// the note has no edit the map takes.
std::vector<MidiMessage> drumSoundMessages(const NoteEdit& edit, int note, int map);

// What puts a module in the state of the window: the GS Reset the program
// sends at start, the map, the kit, the controller page's values, and every
// edited note of the kit with its NRPN messages.
std::vector<MidiMessage> drumSoundSetUp(const ControllerValues& controllers, int map, int program,
                                        const DrumEdits::KitEdits* edits);

// A message as an event list shows it: "B9 63 18".
std::string hexText(const MidiMessage& message);
// One message a line, each line ending in a line feed.
std::string hexLines(const std::vector<MidiMessage>& messages);

inline constexpr int kTicksPerQuarter = 480;
inline constexpr int kTicksPerBar = 4 * kTicksPerQuarter;
// The set-up after the reset: a module takes about 50 ms to come back.
inline constexpr int kSetUpAfterReset = kTicksPerQuarter / 2;

struct TimedMessage {
    int tick;
    MidiMessage message;
};

// The set-up in the first bar (4/4, 120 bpm), then each edited note once, a
// beat apart from the second bar on, at the controller page's velocity,
// each held half a beat.
std::vector<TimedMessage> drumSoundSong(const ControllerValues& controllers, int map, int program,
                                        const DrumEdits::KitEdits* edits);

// A Standard MIDI File of format 0 with 480 ticks a quarter: tempo 120 bpm
// and 4/4 at the start, then the messages in order of their ticks.
std::string standardMidiFile(const std::vector<TimedMessage>& messages);

// Follows the drum part's NRPN on channel 10 as it arrives, message by
// message, and tells each drum sound parameter that Data Entry sets.
class DrumSoundReader {
public:
    struct Change {
        int note;
        DrumParameter parameter;
        int value;
        bool operator==(const Change&) const = default;
    };
    std::optional<Change> read(std::span<const std::uint8_t> message);

private:
    int msb_ = 0x7F;
    int lsb_ = 0x7F;
};

}  // namespace padscope
