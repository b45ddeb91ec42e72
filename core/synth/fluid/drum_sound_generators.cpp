#include "core/synth/fluid/drum_sound_generators.h"

#include "core/midi/drum_part.h"

#include <algorithm>
#include <cmath>

namespace padscope {

namespace {

// The sends of a drum sound are depths within the part's send: 127, the
// most, leaves the SoundFont's own send as it is.
float sendOffset(int value) { return static_cast<float>((value - 127) * 1000) / 127.0f; }

}  // namespace

void DrumSoundGenerators::take(std::span<const std::uint8_t> message)
{
    const DrumPartEvent event = readDrumPart(message);
    if (event.kind == DrumPartEvent::Kind::Program || event.kind == DrumPartEvent::Kind::Reset) {
        edits_.fill(NoteEdit{});
        return;
    }
    if (const auto change = reader_.read(message))
        edits_[static_cast<std::size_t>(change->note)].values[parameterIndex(change->parameter)] =
            static_cast<std::uint8_t>(change->value);
}

DrumSoundGenerators::Offsets DrumSoundGenerators::offsets(int note) const
{
    Offsets offsets;
    if (note < 0 || note > 127)
        return offsets;
    const NoteEdit& edit = edits_[static_cast<std::size_t>(note)];
    if (const auto pitch = edit.value(DrumParameter::Pitch))
        offsets.coarseTune = static_cast<float>(*pitch - 0x40);
    if (const auto level = edit.value(DrumParameter::Level))
        offsets.attenuation = *level == 0 ? 1440.0f : static_cast<float>(200.0 * std::log10(127.0 / *level));
    // 0 asks for a random place, which the synth does not do: it stays.
    if (const auto pan = edit.value(DrumParameter::Pan); pan && *pan > 0)
        offsets.pan = static_cast<float>(std::clamp((*pan - 64) * 500 / 63, -500, 500));
    if (const auto reverb = edit.value(DrumParameter::Reverb))
        offsets.reverbSend = sendOffset(*reverb);
    if (const auto chorus = edit.value(DrumParameter::Chorus))
        offsets.chorusSend = sendOffset(*chorus);
    return offsets;
}

}  // namespace padscope
