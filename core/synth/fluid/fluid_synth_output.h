#pragma once

#include "core/midi/jack_detection.h"
#include "core/synth/fluid/drum_part_sounds.h"
#include "core/synth/fluid/drum_sound_generators.h"
#include "core/synth/preset_part.h"
#include "core/synth/sound_fonts.h"
#include "core/synth/synth_availability.h"
#include "core/synth/synth_port.h"

#include <chrono>
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

// The JACK client the synth's audio appears under when it plays through JACK.
inline constexpr std::string_view kSynthJackClientName = "padscope-gs-synth";

// Audio buffering at the platform's usual output: periods x period size frames.
inline constexpr int kAudioPeriods = 2;
inline constexpr int kAudioPeriodSize = 128;
// Sample rate used unless a JACK server dictates its own.
inline constexpr double kSynthSampleRate = 48000.0;
// Voices, as many as the SC-88 and SC-88Pro have: ample for pads pressed one
// at a time, and each voice FluidSynth keeps costs memory (256, its default,
// hold 2 MB more).
inline constexpr int kSynthPolyphony = 64;

// One SoundFont as the engine holds it.
struct LoadedFont;

// The built-in synth's engine: FluidSynth with the SoundFonts' drum kits,
// and the audio output it plays through. Its port's worker makes it and
// makes every call to it (see SynthEngine).
class FluidSynthEngine final : public SynthEngine {
public:
    // `jack` is what the process knows of the JACK server: the synth module
    // is handed the program's.
    FluidSynthEngine(SoundFontSet fonts, SynthOptions options, JackServer& jack);
    ~FluidSynthEngine() override;
    FluidSynthEngine(const FluidSynthEngine&) = delete;
    FluidSynthEngine& operator=(const FluidSynthEngine&) = delete;

    bool load() override;
    bool keepsAudio() const override { return keepJackAudio_; }
    void play(std::span<const std::uint8_t> message) override;
    // Also a Data Entry that changes a drum sound, which loads its kit again.
    bool needsWorker(std::span<const std::uint8_t> message) const override;
    void playOnWorker(const MidiMessage& message) override;
    // Loads the kit again when the drum sound edits have changed.
    void catchUp() override;
    std::optional<FailureReport> replaceFonts(const std::vector<std::filesystem::path>& files) override;
    bool unloadRetiredFonts() override;
    std::optional<AudioFailure> startAudio() override;
    void stopAudio(bool dead) override;
    bool audioRunning() const override { return driver_ != nullptr; }
    std::string_view driver() const override { return driverInUse_; }
    bool outputDead() const override;
    void setSilent(bool silent) override;
    bool silent() const override;
    Voices voices() override;
    void allSoundsOff() override;
    void release() override;
    bool abandoned() const override { return abandoned_; }

    // Offline only: renders the next left.size() frames. Both spans have
    // the same size.
    bool render(std::span<float> left, std::span<float> right);
    fluid_synth_t* synth() { return synth_.get(); }

private:
    struct SettingsDeleter { void operator()(fluid_settings_t* p) const; };
    struct SynthDeleter { void operator()(fluid_synth_t* p) const; };
    struct DriverDeleter { void operator()(fluid_audio_driver_t* p) const; };
    struct OutputRender;

    bool create();
    bool loadFonts();
    std::optional<AudioFailure> tryDrivers();
    void endUnheardVoices();  // with no output running
    // Loads the `wanted` kits of every font that has a kit list, shaped by `sounds`.
    void loadKits(const KitSet& wanted, const DrumSounds& sounds);
    // The rhythm channel's program chosen again from the fonts loaded now.
    void selectKitAgain();
    void retire(const LoadedFont& font);
    void stopDriver();
    static int renderForOutput(void* data, int length, int fxCount, float* fx[], int outCount, float* out[]);

    const SoundFontSet fonts_;
    const SynthOptions options_;
    JackServer& jack_;
    const unsigned number_;  // this engine's among all the process makes
    // The fonts, base first, each holding kit 0 (which a GS Reset selects,
    // and which stands in for a kit no font has) and kit kitLoaded_; any
    // other kit is loaded when a Program Change asks for it.
    std::vector<LoadedFont> loadedFonts_;
    int kitLoaded_ = 0;
    // Fonts of kits no longer chosen, which a voice may still be playing:
    // one started after the font loaded and sounding when it retired. Voices
    // are numbered in the order their notes start.
    struct RetiredFont {
        int id;
        std::optional<unsigned> lastBefore;  // the newest voice when it loaded
        std::optional<unsigned> newest;      // the newest voice when it retired
    };
    std::vector<RetiredFont> retiredFonts_;
    // What was found of JACK at open.
    std::optional<double> jackRate_;  // the server's rate, when one ran
    bool jackRefused_ = false;        // a server ran, but would not answer the probe
    bool keepJackAudio_ = false;      // the output stays while idle
    // The kind of output that stopped rendering last.
    std::optional<AudioOutputKind> lostOutput_;
    std::unique_ptr<fluid_settings_t, SettingsDeleter> settings_;
    std::unique_ptr<fluid_synth_t, SynthDeleter> synth_;
    std::unique_ptr<fluid_audio_driver_t, DriverDeleter> driver_;
    std::unique_ptr<OutputRender> render_;
    // The drum part's per-note NRPN, and the edits the loaded kits' zones
    // are shaped by: the kits are loaded again before a note plays while
    // the two differ.
    DrumPartSounds drumSounds_;
    DrumSounds soundsLoaded_{};
    std::string_view driverInUse_;
    bool abandoned_ = false;  // a JACK call that never returned still uses the synth
};

// The built-in synth's port with FluidSynth linked in, as tests and
// benchmarks use it; the program loads the engine from the synth module.
class FluidSynthOutput final : public SynthPort {
public:
    explicit FluidSynthOutput(SoundFontSet fonts, SynthOptions options = {},
                              JackServer& jack = processJackServer());

    // Offline only: renders the next left.size() frames once the SoundFonts
    // are read. Both spans have the same size. False when the port is closed
    // or plays through a device.
    bool render(std::span<float> left, std::span<float> right);
    // The synth itself, for inspection, once the SoundFonts are read; nullptr
    // while closed.
    fluid_synth_t* synth();

private:
    FluidSynthEngine* engine();
    const bool offline_;
};

}  // namespace padscope
