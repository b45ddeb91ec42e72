#pragma once

#include "core/midi/redundant_message_filter.h"
#include "core/midi/single_port_output.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace padscope {

enum class SynthAudio {
    Device,   // the platform's audio output, chosen at open
    Offline,  // no audio driver: the caller pulls samples from the synth
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

// Whether a message may make FluidSynth read samples: a Program Change, or a
// system exclusive message such as a GS Reset that selects programs again.
bool readsSamples(std::span<const std::uint8_t> message);

// The synth itself, one per opening of its port: what the port's worker
// thread asks of it, one call at a time. Only play(), needsWorker(),
// outputDead() and setSilent() are also called from the sending thread,
// once load() has returned; the first two only while nothing waits for the
// worker.
class SynthEngine {
public:
    struct Voices {
        bool ringing = false;  // any voice sounds
        bool held = false;     // a voice whose key is still down
    };

    virtual ~SynthEngine() = default;

    // Makes the synth and reads the SoundFonts; false when it cannot play.
    virtual bool load() = 0;
    // Whether the audio output starts with the port and stays while idle.
    virtual bool keepsAudio() const = 0;
    // Plays a message that needs no worker (see needsWorker()).
    virtual void play(std::span<const std::uint8_t> message) = 0;
    // Whether a message must wait for playOnWorker(): one that reads samples
    // (see readsSamples()), or has the engine load anything.
    virtual bool needsWorker(std::span<const std::uint8_t> message) const { return readsSamples(message); }
    // Plays any message, reading the samples of a kit it selects first.
    virtual void playOnWorker(const MidiMessage& message) = 0;
    // Called once the worker has played what it was handed, before the
    // sender plays on its own again: reads what those messages changed and
    // no note has needed yet.
    virtual void catchUp() {}
    // Plays `files` (the first at the bottom) in place of its SoundFonts;
    // where they cannot be played, keeps its own and says which file failed.
    virtual std::optional<FailureReport> replaceFonts(const std::vector<std::filesystem::path>& files) = 0;
    // Lets go of earlier kits' fonts once no voice sounds; true while some
    // are still held.
    virtual bool unloadRetiredFonts() = 0;

    // Starts the audio output; what went wrong when none could be started.
    virtual std::optional<AudioFailure> startAudio() = 0;
    // Stops it; `dead` when it no longer rendered, whose voices are ended.
    virtual void stopAudio(bool dead) = 0;
    virtual bool audioRunning() const = 0;
    // The driver playing now ("jack", "pulseaudio", ...); empty while none.
    virtual std::string_view driver() const = 0;
    // Whether the running output has stopped rendering (its server has gone).
    virtual bool outputDead() const = 0;
    // Hands the output silence without rendering, or renders again.
    virtual void setSilent(bool silent) = 0;
    virtual bool silent() const = 0;
    virtual Voices voices() = 0;
    virtual void allSoundsOff() = 0;

    // Releases everything; what a JACK call that never returned still uses
    // is left alone.
    virtual void release() = 0;
    // A JACK call never returned: the worker must end without waiting.
    virtual bool abandoned() const = 0;
};

// A software synthesizer as a MIDI output with a single port. Opening the
// port returns at once: a worker thread makes the engine (loading it, and
// FluidSynth with it, on the first opening), which reads the SoundFonts;
// messages sent meanwhile wait for it in the worker's queue. The worker
// starts the audio output at a Note On, stops it again after a silence, and
// tears everything down after close().
class SynthPort : public SinglePortOutput {
public:
    // Called on the worker thread; nothing when the synth cannot be had. The
    // engine plays `chosenFonts`, or the port's own fonts where it is empty.
    using EngineFactory =
        std::function<std::unique_ptr<SynthEngine>(const std::vector<std::filesystem::path>& chosenFonts)>;

    SynthPort(std::string portName, SynthOptions options, EngineFactory makeEngine);
    // Waits a bounded time for closed ports to finish tearing down.
    ~SynthPort() override;
    SynthPort(const SynthPort&) = delete;
    SynthPort& operator=(const SynthPort&) = delete;

    bool open(int index) override;
    // True once the engine could not be made, or could not read the SoundFonts.
    bool openFailedLate() const override;
    // Told, from the port's worker thread, when no audio output plays: at
    // most once per opening.
    void setAudioFailureHandler(AudioFailureHandler handler) override;
    // Read by the worker in turn with what is sent; the fonts that play then
    // are also the next opening's.
    bool loadSoundFonts(std::vector<std::filesystem::path> files, SoundFontsLoaded done) override;
    void close() override;
    // Drops channel messages that would change nothing.
    void send(std::span<const std::uint8_t> message) override;

    bool isOpen() const { return worker_ != nullptr; }
    // The fonts chosen last that played, which later openings play; empty
    // while none were chosen.
    std::vector<std::filesystem::path> chosenSoundFonts() const;
    // Waits until the SoundFonts are read; false when closed or they could not be.
    bool waitUntilLoaded();
    // Waits until the audio output asked for by a Note On has started or
    // failed to; true while it runs.
    bool waitForAudio();
    // The audio driver playing now ("jack", "pulseaudio", "alsa"); empty when
    // offline, closed or stopped while idle.
    std::string audioDriver() const;

protected:
    // The open port's engine once the SoundFonts are read; nullptr while
    // closed or when they could not be.
    SynthEngine* loadedEngine();

private:
    class Worker;
    struct FailureSink;
    struct ChosenFonts;

    const SynthOptions options_;
    const EngineFactory makeEngine_;
    std::shared_ptr<FailureSink> failureSink_;
    std::shared_ptr<ChosenFonts> chosenFonts_;
    std::shared_ptr<Worker> worker_;
    // Closed ports whose worker is still tearing them down.
    std::vector<std::shared_ptr<Worker>> closing_;
    RedundantMessageFilter filter_;
};

}  // namespace padscope
