#pragma once

#include "midi_output.h"

#include <functional>
#include <future>
#include <memory>

namespace padscope {

// A backend that is made on a thread of its own while the program goes on
// with other start-up work: listing ports can take a JACK client tens of
// milliseconds to join its server. The first call waits for it. A factory
// that makes nothing leaves a backend without ports.
class PendingOutput final : public MidiOutput {
public:
    using Factory = std::function<std::unique_ptr<MidiOutput>()>;
    explicit PendingOutput(Factory make);
    ~PendingOutput() override;

    int portCount() const override;
    std::string portName(int index) const override;
    std::string portKey(int index) const override;
    void refresh() override;
    PortProbe probe(int index) const override;
    bool open(int index) override;
    bool openFailedLate() const override;
    void setAudioFailureHandler(AudioFailureHandler handler) override;
    bool loadSoundFonts(std::vector<std::filesystem::path> files, SoundFontsLoaded done) override;
    void close() override;
    void reset() override;
    void sendShort(std::uint32_t word) override;
    void sendSysex(std::span<const std::uint8_t> bytes) override;

private:
    // The backend once made; null when the factory made none.
    MidiOutput* backend() const;

    Factory make_;  // kept for when no thread could be started
    mutable std::future<std::unique_ptr<MidiOutput>> made_;
    mutable std::unique_ptr<MidiOutput> backend_;
    mutable bool ready_ = false;
};

}  // namespace padscope
