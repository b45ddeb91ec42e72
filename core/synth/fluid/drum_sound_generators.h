#pragma once

#include "core/midi/drum_sound_messages.h"

#include <array>
#include <cstdint>
#include <span>

namespace padscope {

// The built-in synth's answer to the drum part's per-note NRPN: offsets of
// SoundFont generators for each note, which the engine puts on the rhythm
// channel just before that note starts. A Program Change or a reset on the
// drum part puts every note back, as on the modules. The synth has no delay
// effect, so the delay send is kept but does nothing.
class DrumSoundGenerators {
public:
    struct Offsets {
        float coarseTune = 0;   // semitones
        float attenuation = 0;  // centibels
        float pan = 0;          // -500 left .. 500 right
        float reverbSend = 0;   // 0.1 % units
        float chorusSend = 0;

        bool operator==(const Offsets&) const = default;
    };

    // Every message the synth plays passes here first.
    void take(std::span<const std::uint8_t> message);
    Offsets offsets(int note) const;

private:
    DrumSoundReader reader_;
    std::array<NoteEdit, 128> edits_{};
};

}  // namespace padscope
