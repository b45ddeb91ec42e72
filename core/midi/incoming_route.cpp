#include "core/midi/incoming_route.h"

#include "catalogue/kits.h"
#include "core/midi/drum_part.h"
#include "core/midi/midi_stream.h"

#include <array>

namespace padscope {

namespace {

bool isNoteOn(std::span<const std::uint8_t> m)
{
    return m.size() == 3 && (m[0] & 0xF0) == 0x90 && m[1] < 0x80 && m[2] > 0 && m[2] < 0x80;
}

bool isNoteOff(std::span<const std::uint8_t> m)
{
    return m.size() == 3 && m[1] < 0x80 && ((m[0] & 0xF0) == 0x80 || ((m[0] & 0xF0) == 0x90 && m[2] == 0));
}

std::size_t noteIndex(std::span<const std::uint8_t> m)
{
    return (m[0] & 0x0Fu) * 128u + m[1];
}

}  // namespace

IncomingRoute::IncomingRoute(std::function<void()> wake, Send thru) : wake_(std::move(wake)), thru_(std::move(thru)) {}

void IncomingRoute::receive(std::span<const std::uint8_t> message, bool passedOn)
{
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        splitIncoming(message, [&](std::span<const std::uint8_t> m) {
            if (on_) {
                if (!passedOn && thru_)
                    thru_(m);
                if (isNoteOn(m))
                    sounding_.set(noteIndex(m));
                else if (isNoteOff(m))
                    sounding_.reset(noteIndex(m));
            } else if (passedOn && isNoteOn(m) && thru_) {
                // Passed on just before Thru went off: ended at once.
                const std::array<std::uint8_t, 3> off{static_cast<std::uint8_t>(0x80 | (m[0] & 0x0F)), m[1], 0};
                thru_(off);
            }
            if (const auto change = drumSoundReader_.read(m)) {
                state_.drumSoundEdits.push_back(*change);
                wake = wake || !woken_;
                woken_ = true;
            }
            using Kind = DrumPartEvent::Kind;
            const DrumPartEvent event = readDrumPart(m);
            switch (event.kind) {
            case Kind::NoteOn:
                state_.held.set(static_cast<std::size_t>(event.value));
                state_.lastNoteOn = event.value;
                break;
            case Kind::NoteOff:
                state_.held.reset(static_cast<std::size_t>(event.value));
                break;
            case Kind::Program:
                // Only the kits of the buttons are known by name.
                if (findKit(event.value))
                    state_.program = event.value;
                break;
            case Kind::Map:
                state_.map = event.value;
                break;
            case Kind::Reset:
                state_.held.reset();
                state_.program = 0;
                break;
            case Kind::AllNotesOff:
                state_.held.reset();
                break;
            case Kind::None:
                return;
            }
            wake = wake || !woken_;
            woken_ = true;
        });
    }
    if (wake && wake_)
        wake_();
}

void IncomingRoute::setThru(bool on)
{
    const std::lock_guard lock(mutex_);
    if (on_ && !on)
        endNotesLocked();
    on_ = on;
}

bool IncomingRoute::thru() const
{
    const std::lock_guard lock(mutex_);
    return on_;
}

void IncomingRoute::endThruNotes()
{
    const std::lock_guard lock(mutex_);
    endNotesLocked();
}

void IncomingRoute::endNotesLocked()
{
    for (std::size_t i = 0; i < sounding_.size(); ++i) {
        if (!sounding_.test(i))
            continue;
        const std::array<std::uint8_t, 3> off{static_cast<std::uint8_t>(0x80 | (i / 128)), static_cast<std::uint8_t>(i % 128), 0};
        if (thru_)
            thru_(off);
    }
    sounding_.reset();
}

void IncomingRoute::clear()
{
    const std::lock_guard lock(mutex_);
    state_.held.reset();
    state_.lastNoteOn.reset();
}

IncomingState IncomingRoute::take()
{
    const std::lock_guard lock(mutex_);
    IncomingState taken = state_;
    state_.program.reset();
    state_.map.reset();
    state_.lastNoteOn.reset();
    state_.drumSoundEdits.clear();
    woken_ = false;
    return taken;
}

}  // namespace padscope
