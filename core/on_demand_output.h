#pragma once

#include "single_port_output.h"

#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace padscope {

// A backend of one port whose real backend is made only when the port first
// opens, on a thread of its own, so that opening never waits for it. What is
// sent meanwhile is kept, and handed over in order as soon as the backend is
// made (from the last opening on: what an opening closed meanwhile was sent
// need not be played). A factory that makes nothing, or a backend that
// cannot open, is reported by openFailedLate().
class OnDemandOutput final : public SinglePortOutput {
public:
    using Factory = std::function<std::unique_ptr<MidiOutput>()>;
    OnDemandOutput(std::string portName, Factory make);
    ~OnDemandOutput() override;

    bool open(int index) override;
    bool openFailedLate() const override;
    // Handed to the backend once it is made.
    void setAudioFailureHandler(AudioFailureHandler handler) override;
    void close() override;
    void send(std::span<const std::uint8_t> message) override;

private:
    using Call = PortEvent;
    // Hands the call to the backend, or keeps it until the backend is made.
    void forward(Call call);
    void apply(const Call& call);  // with mutex_ held, backend_ made
    void make();

    const Factory make_;
    bool open_ = false;

    mutable std::mutex mutex_;
    // Guarded by mutex_:
    bool made_ = false;  // the factory has run; backend_ may still be null
    bool failed_ = false;
    std::unique_ptr<MidiOutput> backend_;
    AudioFailureHandler failureHandler_;
    std::vector<Call> pending_;

    std::future<void> maker_;  // last: its end is waited for first
};

}  // namespace padscope
