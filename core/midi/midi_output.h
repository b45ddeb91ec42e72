#pragma once

#include "core/synth/audio_failure.h"
#include "core/midi/midi_message.h"
#include "core/failure.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace padscope {

// Told once a port has tried to play other SoundFonts: nothing when they
// play now.
using SoundFontsLoaded = std::function<void(const std::optional<FailureReport>&)>;
// Told, from any thread, of what went wrong with an open port after open()
// had returned, with the reason.
using PortFailureHandler = std::function<void(Failure, const std::string& reason)>;

// The MIDI output layer: the few operations the program relies on, whatever
// the platform's MIDI system is. Ports are numbered from 0 to portCount()-1
// in the list taken at construction or at the last refresh(); at most one port
// is open at a time, and every send made while no port is open is dropped
// silently.
class MidiOutput {
public:
    virtual ~MidiOutput() = default;

    virtual int portCount() const = 0;
    // Product name of a port, at most 32 characters; empty for a bad index.
    virtual std::string portName(int index) const = 0;
    // What tells a port apart from all others, also across refresh(): two
    // modules may share a product name, never a key. Empty for a bad index.
    virtual std::string portKey(int index) const { return portName(index); }
    // Lists the ports again as the platform has them now. The open port stays
    // open, but indices may shift: a caller finds its port again by its key.
    // A backend whose ports never change keeps its list.
    virtual void refresh() {}
    // False for an index out of the list, or a port that cannot be opened.
    virtual bool open(int index) = 0;
    // Why the last open() failed, in the library's words; empty where it
    // gave none.
    virtual std::string openFailure() const { return {}; }
    // A backend that finishes opening in the background (the built-in synth
    // reads its SoundFonts after open() has returned) says here whether that
    // has failed since; the port is then as good as not open.
    virtual bool openFailedLate() const { return false; }
    // Why, where the backend knows.
    virtual std::string lateFailure() const { return {}; }
    // A port whose open finishes in the background (a JACK connection) tells
    // `handler` when it has failed since (PortOpenFailed), and when it
    // refused a message too long to carry (MessageTooLong).
    virtual void setPortFailureHandler(PortFailureHandler) {}
    // A port that makes its own sound (the built-in synth) tells `handler`
    // when its audio output cannot play; once set empty, nothing more is told.
    // Other ports have nothing to tell.
    virtual void setAudioFailureHandler(AudioFailureHandler) {}
    // A port that plays SoundFonts (the built-in synth), while open, plays
    // `files` in place of its own, the first at the bottom, and tells `done`
    // on a thread of its own; where they cannot be played it keeps its
    // fonts. False, and `done` is never told, for any other port.
    virtual bool loadSoundFonts(std::vector<std::filesystem::path> /*files*/, SoundFontsLoaded /*done*/)
    {
        return false;
    }
    virtual void close() = 0;
    // One whole message, status first: a channel message or a system
    // exclusive message with its F0 and F7.
    virtual void send(std::span<const std::uint8_t> message) = 0;
    // The messages sent from beginUnit() to endUnit() belong together (a
    // press): where the port has cycles they leave in one, in order.
    virtual void beginUnit() {}
    virtual void endUnit() {}
    void sendUnit(std::span<const MidiMessage> messages)
    {
        beginUnit();
        for (const MidiMessage& message : messages)
            send(message);
        endUnit();
    }
};

// Something asked of a port, in the order it was asked: what a queue hands
// to a port's worker thread, or what a test records of a port.
struct PortEvent {
    enum class Kind { Open, Close, Message, LoadSoundFonts };
    Kind kind = Kind::Message;
    MidiMessage message;  // Message
    int port = 0;         // the port it is for, where a backend has several
    // LoadSoundFonts: the files to play in place of the port's, the first at
    // the bottom, and whom to tell how that went.
    std::vector<std::filesystem::path> fonts = {};
    SoundFontsLoaded done = {};
};

// Longest product name a port may report.
inline constexpr std::size_t kMaxPortNameLength = 32;

// Cuts a UTF-8 name to at most kMaxPortNameLength bytes without splitting a character.
std::string clipPortName(std::string name);

}  // namespace padscope
