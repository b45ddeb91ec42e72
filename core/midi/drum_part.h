#pragma once

#include <cstdint>
#include <span>

namespace padscope {

// What one incoming MIDI message means for the drum part on channel 10.
struct DrumPartEvent {
    enum class Kind {
        None,     // not about the drum part
        NoteOn,   // value: the note
        NoteOff,  // value: the note (also a Note On at velocity 0)
        Program,  // value: the Program Change number, 0-based
        Map,      // value: the map index that Bank Select LSB names, 0..4
        Reset,    // GS Reset or GM System On: the module is back at kit 1
        AllNotesOff,  // All Sound Off or All Notes Off: no note sounds any more
    };
    Kind kind = Kind::None;
    int value = 0;

    bool operator==(const DrumPartEvent&) const = default;
};

// Reads a whole message as it arrives from an input port. Messages on other
// channels, other controllers, Bank Select LSB values beyond the maps and
// anything malformed mean nothing here.
DrumPartEvent readDrumPart(std::span<const std::uint8_t> message);

}  // namespace padscope
