#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace padscope {

// The MIDI input layer: the platform's input ports as the last refresh()
// listed them, at most one of them open. What arrives on the open
// port is handed, one whole message at a time and in order, to the receiver
// given to open(), on the input's own thread.
class MidiInput {
public:
    // `passedOn` when the input has already passed the message on to the
    // output itself (Thru from a JACK input to a JACK port).
    using Receive = std::function<void(std::span<const std::uint8_t> message, bool passedOn)>;

    virtual ~MidiInput() = default;

    // The names of the ports as last listed, by which a port is remembered.
    virtual std::vector<std::string> portNames() const = 0;
    // Lists the ports again. The open port stays open even when it is no
    // longer listed.
    virtual void refresh() = 0;
    virtual bool open(int index, Receive receive) = 0;
    // Why the last open() failed, in the library's words; empty where it
    // gave none.
    virtual std::string openFailure() const { return {}; }
    // After close() returns, the receiver is not called any more.
    virtual void close() = 0;
    // An input that can pass what arrives straight on to the output (a JACK
    // input to a JACK port of the same client) does so while on.
    virtual void setThru(bool /*on*/) {}
    // Hands what has arrived so far to the receiver, on the calling thread.
    virtual void deliverPending() {}
};

}  // namespace padscope
