#pragma once

#include "core/midi/drum_sound_messages.h"

#include <bitset>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace padscope {

// What the drum part on channel 10 has come to since the window last looked.
struct IncomingState {
    std::bitset<128> held;          // notes down now
    std::optional<int> program;     // the kit chosen last, where it has a button (a reset: 0)
    std::optional<int> map;         // the map chosen last
    std::optional<int> lastNoteOn;  // the note that sounded last
    std::vector<DrumSoundReader::Change> drumSoundEdits;  // set by NRPN, in order
};

// Where every incoming message goes, on the input's own thread: on to the
// output while Thru is on (unless the input has passed it on itself), and
// into the state the window shows. The window is woken once for whatever
// has arrived until it takes the state, never once per message.
class IncomingRoute {
public:
    using Send = std::function<void(std::span<const std::uint8_t> message)>;

    // `wake` is called on the input's thread when something arrived and the
    // window has not been woken since its last take(); `thru` sends to the
    // output.
    IncomingRoute(std::function<void()> wake, Send thru);

    void receive(std::span<const std::uint8_t> message, bool passedOn);
    // Off: every note that Thru started and did not end gets its Note Off.
    void setThru(bool on);
    bool thru() const;
    // Note Offs for every note that Thru started and did not end, as when
    // the input or the output changes.
    void endThruNotes();
    // The input closed: no pad is held any more.
    void clear();
    IncomingState take();

private:
    void endNotesLocked();

    std::function<void()> wake_;
    Send thru_;
    mutable std::mutex mutex_;
    bool on_ = false;
    bool woken_ = false;
    IncomingState state_;
    DrumSoundReader drumSoundReader_;
    std::bitset<16 * 128> sounding_;  // notes Thru started, by channel and note
};

}  // namespace padscope
