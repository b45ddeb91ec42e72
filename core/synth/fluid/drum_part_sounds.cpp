#include "core/synth/fluid/drum_part_sounds.h"

#include "core/midi/drum_part.h"

namespace padscope {

void DrumPartSounds::take(std::span<const std::uint8_t> message)
{
    const DrumPartEvent event = readDrumPart(message);
    if (event.kind == DrumPartEvent::Kind::Program || event.kind == DrumPartEvent::Kind::Reset) {
        sounds_.fill(NoteEdit{});
        return;
    }
    const auto change = reader_.read(message);
    if (!change || !synthHears(change->parameter))
        return;
    auto& value = sounds_[static_cast<std::size_t>(change->note)].values[parameterIndex(change->parameter)];
    // 0 asks for a random place, which the synth does not do: the note keeps its own.
    if (change->parameter == DrumParameter::Pan && change->value == 0)
        value.reset();
    else
        value = static_cast<std::uint8_t>(change->value);
}

bool DrumPartSounds::changedBy(std::span<const std::uint8_t> message) const
{
    DrumPartSounds next = *this;
    next.take(message);
    return next.sounds_ != sounds_;
}

}  // namespace padscope
