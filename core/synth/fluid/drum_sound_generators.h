#pragma once

#include "core/midi/drum_sound_messages.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace padscope {

// What the built-in synth makes of each note's drum sound edits: pitch,
// level, pan, reverb and chorus send. It has no delay effect, and places no
// note at random, so those edits are not kept.
using DrumSounds = std::array<NoteEdit, 128>;
// Whether any note has an edit.
bool anyShaped(const DrumSounds& sounds);
// Whether the synth follows edits of that parameter.
bool synthHears(DrumParameter parameter);

// The edits as a font's name carries them, "38pan1,81pitch52", and back;
// nothing for text that is not such a list.
std::string drumSoundsText(const DrumSounds& sounds);
std::optional<DrumSounds> parseDrumSounds(std::string_view text);

// A preset part with each edited note shaped as SoundFont generators in the
// zones its key plays: a preset zone over several keys is split so that the
// edited key has a zone of its own. Nothing when it cannot be read, or the
// split zones no longer fit its 16-bit indices.
std::optional<std::vector<std::uint8_t>> withDrumSounds(std::span<const std::uint8_t> presetData,
                                                        const DrumSounds& sounds);

}  // namespace padscope
