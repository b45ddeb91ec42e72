#pragma once

#include <future>
#include <optional>

namespace padscope {

// What this process knows of the JACK server, once: whether it runs, its
// sample rate, whether it has gone or hung. The synth module, loaded at run
// time, is handed the program's, so that both see the same server state.
class JackServer {
public:
    virtual ~JackServer() = default;
    // Keeps libjack quiet and from starting a server (quietAudioSystem).
    virtual void quiet() = 0;
    virtual bool listening() = 0;        // jackServerListening()
    virtual std::optional<double> sampleRate() = 0;  // runningJackSampleRate()
    virtual bool isPipeWire() = 0;       // jackIsPipeWire()
    virtual bool gone() = 0;             // jackServerGone()
    virtual void markHung() = 0;         // markJackServerHung()
};

// This process's JACK server state, which the functions below use.
JackServer& processJackServer();

// Whether a JACK server runs, found once per run (JACK 2 by its socket, at
// no cost; another JACK by opening a client) and true until it has gone.
// Never starts a server.
bool jackServerListening();

// Whether a JACK server may be listening, found without opening a client:
// JACK 2 by its socket, another JACK as otherJackMayListen() says.
bool jackServerMayListen();

// The program's MIDI client opens on a thread of its own and tells the
// server's sample rate through `rate` once it has opened (nothing when it
// did not), so that the synth never opens a client only to ask.
void takeJackSampleRateFrom(std::shared_future<std::optional<double>> rate);

// Whether a JACK server without JACK 2's socket may run here: PipeWire's
// JACK or JACK 1, found by their own sockets. Where neither is found, no
// client is opened to ask.
bool otherJackMayListen();

// The sample rate of the JACK server that is running, or nothing when none
// runs (or JACK is not available). The server is asked once per run, with a
// client, within kJackTimeLimit; later calls share that answer until the
// server has gone.
std::optional<double> runningJackSampleRate();

// Whether the JACK library in use is PipeWire's (pw-jack): its server lets
// the sound device suspend only once no client is active.
bool jackIsPipeWire();

// Whether the JACK server that answered has since gone away or hung. A
// client of a server that has gone must be neither used nor closed: libjack
// frees such clients itself when the next client opens.
bool jackServerGone();
// Records that a JACK call did not return in time.
void markJackServerHung();

}  // namespace padscope
