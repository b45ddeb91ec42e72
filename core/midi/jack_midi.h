#pragma once

#include "core/midi/midi_input.h"
#include "core/midi/midi_output.h"

#include <memory>
#include <string>
#include <vector>

namespace padscope {

// The program's one JACK client for MIDI, shared by the output and the input.
// It opens on a thread of its own, which then carries out every request that
// needs the server (activating, registering ports, connecting), so that no
// caller ever waits for the server but while the client opens. Messages go
// to the process callback through lock-free rings and leave only once the
// connection to the chosen port is live; what arrives is copied into another
// ring in the process callback, passed on there when Thru is on and the
// output is a JACK port, and handed to the receiver on a thread of its own.
class JackMidiClient {
public:
    // Returns at once; the client opens meanwhile, when a JACK server runs.
    explicit JackMidiClient(std::string name = "Padscope");
    ~JackMidiClient();
    JackMidiClient(const JackMidiClient&) = delete;
    JackMidiClient& operator=(const JackMidiClient&) = delete;

    // Waits, within the JACK time limit, until the client has opened; false
    // when no server runs, it did not answer or it has gone since.
    bool ready() const;
    // Full names of the MIDI ports of the other clients: their inputs (where
    // the program may send) or their outputs (what it may watch).
    std::vector<std::string> listPorts(bool inputs) const;

    // Sends to `target` from now on; false when it cannot even be asked. A
    // connection that fails, or is not live within a second, is told to the
    // failure handler and the port counts as failed.
    bool openOutput(const std::string& target);
    void closeOutput();
    // Whether the last opened output has failed since, and why.
    bool outputFailed() const;
    std::string outputFailure() const;
    // Messages written as one unit leave in one cycle, in order.
    void write(std::span<const MidiMessage> messages);
    void write(std::span<const std::uint8_t> message);
    // Told, on a thread of the client's, of a port that failed after it
    // opened (PortOpenFailed), of an input that could not be connected
    // (InputOpenFailed) and of a message too long for a cycle
    // (MessageTooLong), each with the reason.
    void setFailureHandler(PortFailureHandler handler);

    bool openInput(const std::string& source, MidiInput::Receive receive);
    void closeInput();
    // Thru in the process callback, while the output is one of this client's.
    void setThru(bool on);
    // Hands what has arrived so far to the receiver, on the calling thread.
    void deliverPending();

    // How many incoming events found the ring full since the client opened.
    std::uint64_t incomingLost() const;

    struct Core;

private:
    std::shared_ptr<Core> core_;
};

// The JACK ports other clients offer as MIDI outputs for the program.
class JackMidiOutput final : public MidiOutput {
public:
    explicit JackMidiOutput(std::shared_ptr<JackMidiClient> client);
    ~JackMidiOutput() override;

    int portCount() const override { return static_cast<int>(ports_.size()); }
    std::string portName(int index) const override;
    std::string portKey(int index) const override;
    void refresh() override;
    bool open(int index) override;
    std::string openFailure() const override { return failedOpen_; }
    bool openFailedLate() const override;
    std::string lateFailure() const override;
    void setPortFailureHandler(PortFailureHandler handler) override;
    void close() override;
    void send(std::span<const std::uint8_t> message) override;
    void beginUnit() override { inUnit_ = true; }
    void endUnit() override;

private:
    std::shared_ptr<JackMidiClient> client_;
    std::vector<std::string> ports_;
    bool open_ = false;
    std::string failedOpen_;  // why the last open failed
    bool inUnit_ = false;
    std::vector<MidiMessage> unit_;
};

// The JACK ports other clients offer as MIDI inputs for the program.
class JackMidiInput final : public MidiInput {
public:
    explicit JackMidiInput(std::shared_ptr<JackMidiClient> client);
    ~JackMidiInput() override;

    std::vector<std::string> portNames() const override { return ports_; }
    void refresh() override;
    bool open(int index, Receive receive) override;
    std::string openFailure() const override { return failedOpen_; }
    void close() override;
    void setThru(bool on) override;
    void deliverPending() override;

private:
    std::shared_ptr<JackMidiClient> client_;
    std::vector<std::string> ports_;
    std::string failedOpen_;  // why the last open failed
};

}  // namespace padscope
