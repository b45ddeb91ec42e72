#pragma once

#include "jack_detection.h"
#include "single_port_output.h"
#include "redundant_message_filter.h"
#include "sound_fonts.h"
#include "synth_availability.h"

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

enum class SynthAudio {
    Device,   // the platform's audio output, chosen at open
    Offline,  // no audio driver: the caller pulls samples with render()
};

struct SynthOptions {
    SynthAudio audio = SynthAudio::Device;
    // Load a preset's samples only when a channel selects it.
    bool dynamicSampleLoading = true;
    // Silence (no Note On, no voice sounding) after which the audio output
    // stops until the next Note On.
    std::chrono::milliseconds idleStop{3000};
    // Through JACK the output starts with the port and never stops while idle:
    // the server runs its cycle anyway, and joining it again would make the
    // first note after a silence some 25 ms late. PipeWire's JACK is stopped
    // all the same, so its sound device can suspend. Tests of the idle stop
    // turn this off.
    bool keepJackAudio = true;
};

// Audio buffering at the platform's usual output: periods x period size frames.
inline constexpr int kAudioPeriods = 2;
inline constexpr int kAudioPeriodSize = 128;
// Sample rate used unless a JACK server dictates its own.
inline constexpr double kSynthSampleRate = 48000.0;
// Voices, as many as the SC-88 and SC-88Pro have: ample for pads pressed one
// at a time, and each voice FluidSynth keeps costs memory (256, its default,
// hold 2 MB more).
inline constexpr int kSynthPolyphony = 64;

// A GS software synthesizer as a MIDI output with a single port. Opening
// the port returns at once: a worker thread reads the SoundFonts (messages
// sent meanwhile wait for it), starts the audio output at a Note On, stops it
// again after a silence, and tears everything down after close().
class FluidSynthOutput final : public SinglePortOutput {
public:
    // `jack` is what the process knows of the JACK server: the synth module
    // is handed the program's.
    explicit FluidSynthOutput(SoundFontSet fonts, SynthOptions options = {},
                              JackServer& jack = processJackServer());
    // Waits a bounded time for closed ports to finish tearing down.
    ~FluidSynthOutput() override;
    FluidSynthOutput(const FluidSynthOutput&) = delete;
    FluidSynthOutput& operator=(const FluidSynthOutput&) = delete;

    bool open(int index) override;
    // True once the SoundFonts turned out unreadable, or FluidSynth could not start.
    bool openFailedLate() const override;
    // Told, from the port's worker thread, when no audio output plays: at
    // most once per opening.
    void setAudioFailureHandler(AudioFailureHandler handler) override;
    void close() override;
    // Drops messages that would change nothing.
    void send(std::span<const std::uint8_t> message) override;

    bool isOpen() const { return worker_ != nullptr; }
    // Waits until the SoundFonts are read; false when closed or they could not be.
    bool waitUntilLoaded();
    // Waits until the audio output asked for by a Note On has started or
    // failed to; true while it runs.
    bool waitForAudio();
    // The audio driver playing now ("jack", "pulseaudio", "alsa"); empty when
    // offline, closed or stopped while idle.
    std::string audioDriver() const;
    // Offline only: renders the next left.size() frames once the SoundFonts
    // are read. Both spans have the same size. False when the port is closed
    // or plays through a device.
    bool render(std::span<float> left, std::span<float> right);
    // The synth itself, for inspection, once the SoundFonts are read; nullptr
    // while closed.
    fluid_synth_t* synth();

private:
    class Worker;
    struct FailureSink;

    SoundFontSet fonts_;
    SynthOptions options_;
    JackServer& jack_;
    std::shared_ptr<FailureSink> failureSink_;
    std::shared_ptr<Worker> worker_;
    // Closed ports whose worker is still tearing them down.
    std::vector<std::shared_ptr<Worker>> closing_;
    RedundantMessageFilter filter_;
};

}  // namespace padscope
