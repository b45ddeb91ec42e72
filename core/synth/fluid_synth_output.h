#pragma once

#include "midi_output.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// FluidSynth's own handle types, so that users of this header need not
// include FluidSynth's headers.
extern "C" {
typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_audio_driver_t fluid_audio_driver_t;
}

namespace padscope {

// The name of the built-in port, as the port list shows it.
inline constexpr std::string_view kBuiltInSynthName = "Padscope GS Synth";
// The JACK client the synth's audio appears under when it plays through JACK.
inline constexpr std::string_view kSynthJackClientName = "padscope-gs-synth";

// Where SoundFonts are looked for. The first readable base font is the
// synth's General MIDI set; every readable overlay is loaded on top of it
// and wins where both hold the same preset.
struct SoundFontSearch {
    std::vector<std::filesystem::path> bases;
    std::vector<std::filesystem::path> overlays;
};

// The distribution's usual places: Debian's default-GM.sf2 alternative and
// FluidR3_GM.sf2, with FluidR3_GS.sf2 (the GS SFX kit) as the overlay.
SoundFontSearch standardSoundFontSearch();

struct SoundFontSet {
    std::filesystem::path base;
    std::vector<std::filesystem::path> overlays;
};

// Picks the fonts without loading them: a candidate counts when it is a
// readable file that starts like a SoundFont. Nothing when no base is found.
std::optional<SoundFontSet> findSoundFonts(const SoundFontSearch& search);

enum class SynthAudio {
    Device,   // the platform's audio output, chosen at open
    Offline,  // no audio driver: the caller pulls samples with render()
};

struct SynthOptions {
    SynthAudio audio = SynthAudio::Device;
    // Load a preset's samples only when a channel selects it.
    bool dynamicSampleLoading = true;
};

// Audio buffering at the platform's usual output: periods × period size frames.
inline constexpr int kAudioPeriods = 2;
inline constexpr int kAudioPeriodSize = 128;
// Sample rate used unless a JACK server dictates its own.
inline constexpr double kSynthSampleRate = 48000.0;

// A GS software synthesizer as a MIDI output with a single port. The
// SoundFonts are read only when the port is opened; close() releases the
// synth, its samples and its audio output again.
class FluidSynthOutput final : public MidiOutput {
public:
    explicit FluidSynthOutput(SoundFontSet fonts, SynthOptions options = {});
    ~FluidSynthOutput() override;
    FluidSynthOutput(const FluidSynthOutput&) = delete;
    FluidSynthOutput& operator=(const FluidSynthOutput&) = delete;

    int portCount() const override { return 1; }
    std::string portName(int index) const override;
    PortProbe probe(int index) const override;
    bool open(int index) override;
    void close() override;
    // All sound off on every channel: every voice stops at once.
    void reset() override;
    void sendShort(std::uint32_t word) override;
    void sendSysex(std::span<const std::uint8_t> bytes) override;

    bool isOpen() const { return synth_ != nullptr; }
    // The audio driver in use ("jack", "pulseaudio", "alsa"); empty when
    // offline or closed.
    std::string_view audioDriver() const { return driverName_; }
    // Offline only: renders the next left.size() frames. Both spans have the
    // same size. False when the port is closed or plays through a device.
    bool render(std::span<float> left, std::span<float> right);
    // The synth itself, for inspection; nullptr while closed.
    fluid_synth_t* synth() const { return synth_.get(); }

private:
    struct SettingsDeleter { void operator()(fluid_settings_t* p) const; };
    struct SynthDeleter { void operator()(fluid_synth_t* p) const; };
    struct DriverDeleter { void operator()(fluid_audio_driver_t* p) const; };

    bool openSynth();
    bool startAudio(bool jackRunning);

    SoundFontSet fonts_;
    SynthOptions options_;
    // Destroyed in reverse order: the driver stops rendering before the
    // synth goes, and the synth before its settings.
    std::unique_ptr<fluid_settings_t, SettingsDeleter> settings_;
    std::unique_ptr<fluid_synth_t, SynthDeleter> synth_;
    std::unique_ptr<fluid_audio_driver_t, DriverDeleter> driver_;
    std::string_view driverName_;
};

// The built-in synth port, or nullptr when no usable SoundFont is found or,
// for device audio, the machine has no audio output at all (then the port is
// not listed).
std::unique_ptr<MidiOutput> makeBuiltInSynth(const SoundFontSearch& search = standardSoundFontSearch(),
                                             SynthOptions options = {});

}  // namespace padscope
