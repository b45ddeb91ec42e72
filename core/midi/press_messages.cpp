#include "core/midi/press_messages.h"

namespace padscope {

namespace {

// Sound controllers are centred: position 0 is sent as 64.
int centred(int position) { return 0x40 + position; }

}  // namespace

PressMessages pressMessages(const ControllerValues& c, int note, int program, int map)
{
    const int bend = c[kPitchBend] + 8192;
    return {
        shortMessage(kStatusControlChange, 78, centred(c[kVibratoDelay])),
        shortMessage(kStatusControlChange, 77, centred(c[kVibratoDepth])),
        shortMessage(kStatusControlChange, 76, centred(c[kVibratoRate])),
        shortMessage(kStatusControlChange, 72, centred(c[kRelease])),
        shortMessage(kStatusControlChange, 75, centred(c[kDecay])),
        shortMessage(kStatusControlChange, 73, centred(c[kAttack])),
        shortMessage(kStatusControlChange, 71, centred(c[kResonance])),
        shortMessage(kStatusControlChange, 74, centred(c[kCutoff])),
        shortMessage(kStatusControlChange, 1, c[kModulation]),
        shortMessage(kStatusControlChange, 0, 0),     // bank select MSB
        shortMessage(kStatusControlChange, 32, map),  // bank select LSB: the drum map
        programChangeMessage(program),
        shortMessage(kStatusControlChange, 101, 0),   // RPN 0/0: pitch-bend sensitivity
        shortMessage(kStatusControlChange, 100, 0),
        shortMessage(kStatusControlChange, 6, c[kBendRange]),
        shortMessage(kStatusControlChange, 38, 0),
        shortMessage(kStatusControlChange, 101, 127),  // RPN null
        shortMessage(kStatusControlChange, 100, 127),
        shortMessage(kStatusControlChange, 91, c[kReverb]),
        shortMessage(kStatusControlChange, 94, c[kDelay]),
        shortMessage(kStatusControlChange, 93, c[kChorus]),
        shortMessage(kStatusPitchBend, bend & 0x7F, (bend >> 7) & 0x7F),
        shortMessage(kStatusNoteOn, note, c[kVelocity]),
    };
}

std::array<MidiMessage, 16> allNotesOffMessages()
{
    std::array<MidiMessage, 16> messages;
    for (std::uint8_t channel = 0; channel < 16; ++channel)
        messages[channel] = shortMessage(0xB0 | channel, 123);
    return messages;
}

}  // namespace padscope
