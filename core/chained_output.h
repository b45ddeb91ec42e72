#pragma once

#include "midi_output.h"

#include <memory>
#include <vector>

namespace padscope {

// Presents several backends as one list of ports, the first backend's ports
// first. Only one port of all of them is open at a time.
class ChainedOutput final : public MidiOutput {
public:
    void append(std::unique_ptr<MidiOutput> backend);

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
    struct Place {
        MidiOutput* backend = nullptr;
        std::size_t number = 0;  // the backend's place in the chain
        int index = -1;
    };
    Place locate(int index) const;

    std::vector<std::unique_ptr<MidiOutput>> backends_;
    MidiOutput* open_ = nullptr;
};

}  // namespace padscope
