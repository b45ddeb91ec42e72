#pragma once

#include "core/midi/midi_output.h"

#include <functional>
#include <future>
#include <memory>
#include <vector>

namespace padscope {

// Presents several backends as one list of ports, the first backend's ports
// first. Only one port of all of them is open at a time.
class ChainedOutput final : public MidiOutput {
public:
    using Factory = std::function<std::unique_ptr<MidiOutput>()>;

    ChainedOutput() = default;
    // Waits for backends still being made: their threads must not outlive
    // what they use.
    ~ChainedOutput() override = default;
    ChainedOutput(const ChainedOutput&) = delete;
    ChainedOutput& operator=(const ChainedOutput&) = delete;

    void append(std::unique_ptr<MidiOutput> backend);
    // A backend made on a thread of its own while the program goes on with
    // other start-up work: listing ports can take a JACK client tens of
    // milliseconds to join its server. The first call that needs it waits
    // for it. A factory that makes nothing adds no ports.
    void append(Factory make);

    int portCount() const override;
    std::string portName(int index) const override;
    std::string portKey(int index) const override;
    void refresh() override;
    bool open(int index) override;
    std::string openFailure() const override { return failedOpen_; }
    bool openFailedLate() const override;
    std::string lateFailure() const override { return open_ ? open_->lateFailure() : std::string{}; }
    void setPortFailureHandler(PortFailureHandler handler) override;
    void setAudioFailureHandler(AudioFailureHandler handler) override;
    bool loadSoundFonts(std::vector<std::filesystem::path> files, SoundFontsLoaded done) override;
    void close() override;
    void send(std::span<const std::uint8_t> message) override { if (open_) open_->send(message); }
    void beginUnit() override { if (open_) open_->beginUnit(); }
    void endUnit() override { if (open_) open_->endUnit(); }

private:
    struct Backend {
        Factory make;  // kept for when no thread could be started
        std::future<std::unique_ptr<MidiOutput>> made;
        std::unique_ptr<MidiOutput> output;
        bool ready = false;
    };
    struct Place {
        MidiOutput* backend = nullptr;
        std::size_t number = 0;  // the backend's place in the chain
        int index = -1;
    };
    std::string failedOpen_;  // why the last open failed
    // The backend once made; null when its factory made none.
    MidiOutput* backend(std::size_t number) const;
    Place locate(int index) const;

    mutable std::vector<Backend> backends_;
    MidiOutput* open_ = nullptr;
};

}  // namespace padscope
