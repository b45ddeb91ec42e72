#pragma once

#include "core/midi/drum_sound_messages.h"
#include "core/synth/fluid/drum_sound_generators.h"

#include <cstdint>
#include <span>

namespace padscope {

// Follows the drum part's per-note NRPN as the synth plays it. A Program
// Change or a reset on the drum part puts every note back, as on the modules.
class DrumPartSounds {
public:
    // Every message the synth plays passes here first.
    void take(std::span<const std::uint8_t> message);
    // Whether taking the message would change how a note sounds.
    bool changedBy(std::span<const std::uint8_t> message) const;
    const DrumSounds& sounds() const { return sounds_; }

private:
    DrumSoundReader reader_;
    DrumSounds sounds_{};
};

}  // namespace padscope
