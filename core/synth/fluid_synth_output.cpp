#include "fluid_synth_output.h"

#include "bounded_call.h"
#include "drum_only_font.h"
#include "silent_melodic_font.h"
#include "synth_log.h"

#include <fluidsynth.h>

#include <QLoggingCategory>

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace padscope {

namespace {

// Roland's device id of the GS Reset this program sends: without a matching
// synth.device-id FluidSynth ignores the message.
constexpr int kGsDeviceId = 0x10;
// A touch louder than FluidSynth's default of 0.2: a drum hit is rarely more
// than a handful of voices.
constexpr double kSynthGain = 0.5;

// FluidSynth's last error on this thread: the reason an open failed.
thread_local std::string lastFluidError;
// On an audio output's own thread, what marks that output failed: its
// driver reports there the error (a write to a server that has gone) after
// which the thread ends.
thread_local std::atomic<bool>* outputFailure = nullptr;

void logFluidMessage(int level, const char* message, void*)
{
    if (level <= FLUID_ERR) {
        lastFluidError = message;
        if (outputFailure)
            outputFailure->store(true);
    }
    qCDebug(lcSynth, "FluidSynth: %s", message);
}

// FluidSynth, JACK and ALSA all print to stderr by default. Their messages
// go to quiet logging categories instead; the program shows its own message
// when the port cannot be opened, and says why on lcSynth.
void quietLibraries(JackServer& jack)
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, logFluidMessage, nullptr);
    });
    // FluidSynth's JACK driver opens its client with no options; this also
    // keeps libjack from launching a server of its own.
    jack.quiet();
}

struct SettingsDeleter { void operator()(fluid_settings_t* p) const { delete_fluid_settings(p); } };
struct SynthDeleter { void operator()(fluid_synth_t* p) const { delete_fluid_synth(p); } };
struct DriverDeleter { void operator()(fluid_audio_driver_t* p) const { delete_fluid_audio_driver(p); } };

using Clock = std::chrono::steady_clock;

// Messages on their way to FluidSynth are events of the port.
using SynthMessage = PortEvent;

bool isNoteOn(const MidiMessage& message)
{
    return (message.status() & 0xF0) == 0x90 && message.data2() != 0;
}

// A Program Change, or a system exclusive message such as a GS Reset that
// selects programs again: with dynamic sample loading FluidSynth reads the
// new kit's samples from the SoundFont before it returns.
bool mayReadSamples(const SynthMessage& message)
{
    return message.message.isSysex() || (message.message.status() & 0xF0) == 0xC0;
}

void play(fluid_synth_t* synth, const SynthMessage& event)
{
    const MidiMessage& message = event.message;
    if (message.isSysex()) {
        // FluidSynth wants the message without its F0 and F7 frame.
        std::span<const std::uint8_t> bytes = message.bytes().subspan(1);
        if (!bytes.empty() && bytes.back() == 0xF7)
            bytes = bytes.first(bytes.size() - 1);
        fluid_synth_sysex(synth, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()),
                          nullptr, nullptr, nullptr, 0);
        return;
    }
    const int status = message.status();
    const int data1 = message.data1();
    const int data2 = message.data2();
    const int channel = status & 0x0F;
    switch (status & 0xF0) {
    case 0x80: fluid_synth_noteoff(synth, channel, data1); break;
    // FluidSynth treats velocity 0 as a Note Off.
    case 0x90: fluid_synth_noteon(synth, channel, data1, data2); break;
    case 0xA0: fluid_synth_key_pressure(synth, channel, data1, data2); break;
    case 0xB0: fluid_synth_cc(synth, channel, data1, data2); break;
    case 0xC0: fluid_synth_program_change(synth, channel, data1); break;
    case 0xD0: fluid_synth_channel_pressure(synth, channel, data1); break;
    case 0xE0: fluid_synth_pitch_bend(synth, channel, data1 | data2 << 7); break;
    default: break;  // running status or system messages: nothing to play
    }
}

// How long destruction waits for closed ports to finish tearing down.
constexpr std::chrono::milliseconds kTeardownWaitAtExit{250};

// Longest a released note may ring on after the idle time before the audio
// stops anyway: some SoundFont loops fade out over minutes.
constexpr std::chrono::seconds kLongestTail{10};

// How often fonts of an earlier kit are tried again when no audio output
// wakes the worker: the caller renders, and the last voices end.
constexpr std::chrono::milliseconds kRetiredFontsRetry{50};

// FluidSynth renders in blocks of this many frames.
constexpr int kFluidBlock = 64;

// A JACK client is asked for samples every period (a few milliseconds); one
// that has not been for this long has lost its server. Other outputs may
// block for seconds while the server's buffer is full, so they tell by error.
constexpr std::chrono::milliseconds kStalledJackOutput{500};

AudioOutputKind outputKind(std::string_view driver)
{
    if (driver == "jack")
        return AudioOutputKind::Jack;
    if (driver == "pulseaudio")
        return AudioOutputKind::PulseAudio;
    if (driver == "pipewire")
        return AudioOutputKind::PipeWire;
    return AudioOutputKind::Alsa;
}

struct Voices {
    bool ringing = false;  // any voice sounds
    bool held = false;     // a voice whose key is still down
};

Voices voicesOf(fluid_synth_t* synth)
{
    std::array<fluid_voice_t*, 256> list{};
    fluid_synth_get_voicelist(synth, list.data(), static_cast<int>(list.size()), -1);
    Voices voices;
    for (fluid_voice_t* voice : list) {
        if (!voice)
            break;
        voices.ringing = true;
        voices.held = voices.held || fluid_voice_is_on(voice);
    }
    return voices;
}

// The program of a Program Change on the rhythm channel (MIDI channel 10).
std::optional<int> rhythmKit(const SynthMessage& message)
{
    if (message.message.status() != 0xC9)
        return std::nullopt;
    return message.message.data1();
}

// One font as the synth holds it: only the drum kits it plays, as only the
// rhythm channel plays; the whole font where it cannot be read that way.
struct LoadedFont {
    std::string path;
    std::optional<KitSet> kits;  // the file's kits; none when loaded whole
    int id = FLUID_FAILED;       // FluidSynth's; FLUID_FAILED while nothing of it is loaded
};

// Loads the file's `wanted` kits, or the whole file where it has no kit
// list; FLUID_FAILED when none of them are in it, or it does not load.
int loadFont(fluid_synth_t* synth, const LoadedFont& font, const KitSet& wanted)
{
    if (!font.kits)
        return fluid_synth_sfload(synth, font.path.c_str(), 0);
    if ((*font.kits & wanted).none())
        return FLUID_FAILED;
    return fluid_synth_sfload(synth, drumKitsOf(font.path, *font.kits & wanted).c_str(), 0);
}

}  // namespace

// Where the port's openings report that no audio output plays.
struct FluidSynthOutput::FailureSink {
    std::mutex mutex;
    AudioFailureHandler handler;

    void report(const AudioFailure& failure)
    {
        const std::lock_guard lock(mutex);
        if (handler)
            handler(failure);
    }
};

// One opening of the port: the synth, its audio output and the worker
// thread that loads, starts, stops and finally releases them. The GUI
// thread only sends messages; it never waits for the worker.
class FluidSynthOutput::Worker {
public:
    Worker(SoundFontSet fonts, SynthOptions options, JackServer& jack, std::shared_ptr<FailureSink> failures)
        : fonts_(std::move(fonts)), options_(options), jack_(jack), failures_(std::move(failures))
    {
    }

    // Starts the worker; false when no thread could be had.
    bool start(const std::shared_ptr<Worker>& self);
    // Asks the worker to release everything and end.
    void stop();
    bool waitForEnd(Clock::time_point deadline) { return ended_.wait_until(deadline) == std::future_status::ready; }

    void send(SynthMessage message, bool noteOn);
    // Waits until the SoundFonts are read and all that was sent is played.
    bool waitUntilLoaded();
    bool loadFailed() const;
    bool waitForAudio();
    std::string driverName() const;
    fluid_synth_t* synth() { return synth_.get(); }
    bool renders() const { return options_.audio == SynthAudio::Offline; }

private:
    void run();
    bool create();
    void load();
    void playPending(std::unique_lock<std::mutex>& lock);
    bool loadFonts();
    void playOnWorker(const SynthMessage& message);
    void unloadRetiredFonts();
    void serveAudio();
    bool startDriver();
    std::optional<AudioFailure> tryDrivers();
    bool outputDead() const;
    void endUnheardVoices();  // with no output running
    void stopDriver();
    void release();

    const SoundFontSet fonts_;
    const SynthOptions options_;
    JackServer& jack_;
    const std::shared_ptr<FailureSink> failures_;
    // The worker's alone: the fonts, base first, each holding kit 0 (which a
    // GS Reset selects, and which stands in for a kit no font has) and kit
    // kitLoaded_; any other kit is loaded when a Program Change asks for it.
    std::vector<LoadedFont> loadedFonts_;
    int kitLoaded_ = 0;
    // The worker's alone: fonts of kits no longer chosen, which a voice may
    // still be playing.
    std::vector<int> retiredFonts_;
    // The worker's alone: what was found of JACK at open.
    std::optional<double> jackRate_;  // the server's rate, when one ran
    bool jackRefused_ = false;        // a server ran, but would not answer the probe
    bool keepJackAudio_ = false;      // the output stays while idle
    // The worker's alone: the kind of output that stopped rendering last, and
    // whether the user has been told that none plays.
    std::optional<AudioOutputKind> lostOutput_;
    bool failureReported_ = false;
    std::unique_ptr<fluid_settings_t, SettingsDeleter> settings_;
    std::unique_ptr<fluid_synth_t, SynthDeleter> synth_;
    std::unique_ptr<fluid_audio_driver_t, DriverDeleter> driver_;  // the worker's alone
    // What the audio output's callback reads; given up with a JACK driver that is.
    struct OutputRender {
        fluid_synth_t* synth = nullptr;
        std::atomic<bool> silent{false};  // hand the output silence without rendering
        std::atomic<Clock::rep> lastCall{0};  // when the output last asked for samples
        std::atomic<bool> periodic{false};    // it asks every period (JACK)
        std::atomic<bool> failed{false};      // its driver has reported an error on its thread
    };
    std::unique_ptr<OutputRender> render_ = std::make_unique<OutputRender>();
    static int renderForOutput(void* data, int length, int fxCount, float* fx[], int outCount, float* out[]);
    std::string_view driverInUse_;                                 // the worker's alone
    bool abandoned_ = false;  // a JACK call that never returned still uses the synth

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    // Guarded by mutex_:
    // Played by the worker, in order: what was sent while the SoundFonts
    // loaded, or from a message that reads samples on.
    std::vector<SynthMessage> pending_;
    bool loadDone_ = false;
    bool loadOk_ = false;
    bool stopping_ = false;
    bool audioWanted_ = false;
    bool audioStarting_ = false;
    bool audioFailed_ = false;
    bool outputLost_ = false;  // a Note On found the running output dead
    std::string driverName_;

    // The sender plays its messages itself: loaded, and nothing pending.
    // Set false by the sender alone, true by the worker alone, both under mutex_.
    std::atomic<bool> direct_{false};
    std::atomic<bool> audioUp_{false};
    std::atomic<Clock::rep> lastNoteOn_{0};
    std::promise<void> endPromise_;
    std::future<void> ended_ = endPromise_.get_future();
};

bool FluidSynthOutput::Worker::create()
{
    settings_.reset(new_fluid_settings());
    if (!settings_)
        return false;
    fluid_settings_t* s = settings_.get();
    fluid_settings_setint(s, "synth.dynamic-sample-loading", options_.dynamicSampleLoading ? 1 : 0);
    fluid_settings_setstr(s, "synth.midi-bank-select", "gs");
    fluid_settings_setint(s, "synth.device-id", kGsDeviceId);
    // Messages come from the GUI thread while the worker loads and the
    // audio thread renders.
    fluid_settings_setint(s, "synth.threadsafe-api", 1);
    fluid_settings_setint(s, "synth.polyphony", kSynthPolyphony);
    fluid_settings_setnum(s, "synth.gain", kSynthGain);
    fluid_settings_setnum(s, "synth.sample-rate", jackRate_.value_or(kSynthSampleRate));
    fluid_settings_setint(s, "audio.periods", kAudioPeriods);
    fluid_settings_setint(s, "audio.period-size", kAudioPeriodSize);
    fluid_settings_setstr(s, "audio.jack.id", std::string(kSynthJackClientName).c_str());
    fluid_settings_setint(s, "audio.jack.autoconnect", 1);
    synth_.reset(new_fluid_synth(s));
    if (!synth_)
        return false;
    addDrumOnlyLoader(synth_.get(), s);
    return true;
}

bool FluidSynthOutput::Worker::start(const std::shared_ptr<Worker>& self)
{
    try {
        std::thread([self] { self->run(); }).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void FluidSynthOutput::Worker::stop()
{
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    changed_.notify_all();
}

void FluidSynthOutput::Worker::send(SynthMessage message, bool noteOn)
{
    // An output whose sound server has gone renders no more: the note waits
    // for the worker to open a new one.
    const bool lost = noteOn && options_.audio == SynthAudio::Device && audioUp_.load() && outputDead();
    // Reading a kit's samples can take long on a cold disk: not on the
    // sender's thread, which is the GUI's.
    if (lost || !direct_.load(std::memory_order_acquire) || (loadOk_ && mayReadSamples(message))) {
        const std::lock_guard lock(mutex_);
        if (loadDone_ && !loadOk_)
            return;  // nothing to play them
        direct_.store(false);
        outputLost_ = outputLost_ || lost;
        pending_.push_back(std::move(message));
        if (noteOn && options_.audio == SynthAudio::Device) {
            lastNoteOn_.store(Clock::now().time_since_epoch().count());
            audioWanted_ = true;
        }
        changed_.notify_all();
        return;
    }
    if (!loadOk_)
        return;  // written before direct_ is first set, and never again
    if (noteOn)
        render_->silent.store(false);
    play(synth_.get(), message);
    if (!noteOn || options_.audio != SynthAudio::Device)
        return;
    // Paired with the idle stop in serveAudio(): either the worker sees this
    // note, or this sees the audio stopped and asks for it again.
    lastNoteOn_.store(Clock::now().time_since_epoch().count());
    if (!audioUp_.load()) {
        const std::lock_guard lock(mutex_);
        audioWanted_ = true;
        changed_.notify_all();
    }
}

bool FluidSynthOutput::Worker::waitUntilLoaded()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return loadDone_ && direct_.load(); });
    return loadOk_;
}

bool FluidSynthOutput::Worker::loadFailed() const
{
    const std::lock_guard lock(mutex_);
    return loadDone_ && !loadOk_;
}

bool FluidSynthOutput::Worker::waitForAudio()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stopping_ || (loadDone_ && !audioWanted_ && !audioStarting_); });
    return !driverName_.empty();
}

std::string FluidSynthOutput::Worker::driverName() const
{
    const std::lock_guard lock(mutex_);
    return driverName_;
}

void FluidSynthOutput::Worker::run()
{
    // Asking JACK opens a client: here, not on the caller's thread.
    if (options_.audio == SynthAudio::Device) {
        jackRate_ = jack_.sampleRate();
        jackRefused_ = !jackRate_ && jack_.listening();
        // PipeWire suspends its sound device only once no client runs.
        keepJackAudio_ = jackRate_ && options_.keepJackAudio && !jack_.isPipeWire();
    }
    load();
    if (options_.audio == SynthAudio::Device) {
        if (keepJackAudio_) {
            const std::lock_guard lock(mutex_);
            audioWanted_ = loadOk_;
        }
        serveAudio();
    } else {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            if (!pending_.empty()) {
                playPending(lock);
            } else if (retiredFonts_.empty()) {
                changed_.wait(lock);
            } else {
                // The voices end as the caller renders them.
                changed_.wait_for(lock, kRetiredFontsRetry);
                lock.unlock();
                unloadRetiredFonts();
                lock.lock();
            }
        }
    }
    release();
    endPromise_.set_value();
}

void FluidSynthOutput::Worker::load()
{
    lastFluidError.clear();
    const bool made = create();
    // Presets are chosen once, after the last font, so that no channel
    // loads samples of a font that a later one overrides.
    const bool ok = made && loadFonts();
    if (ok) {
        if (!addSilentMelodicFont(synth_.get()))
            fluid_synth_program_reset(synth_.get());
    } else {
        qCWarning(lcSynth, "The built-in synth cannot play: %s",
                  lastFluidError.empty() ? "FluidSynth could not be started" : lastFluidError.c_str());
    }
    std::unique_lock lock(mutex_);
    loadDone_ = true;
    loadOk_ = ok;
    // What was sent meanwhile plays now, if there is anything to play it.
    playPending(lock);
    if (!ok)
        audioWanted_ = false;  // nothing to play
    lastNoteOn_.store(Clock::now().time_since_epoch().count());
}

bool FluidSynthOutput::Worker::loadFonts()
{
    const KitSet standard = KitSet().set(0);
    loadedFonts_.push_back({fonts_.base.string(), drumKitsIn(fonts_.base.string())});
    for (const auto& overlay : fonts_.overlays)
        loadedFonts_.push_back({overlay.string(), drumKitsIn(overlay.string())});
    for (LoadedFont& font : loadedFonts_) {
        font.id = loadFont(synth_.get(), font, standard);
        if (font.id == FLUID_FAILED && font.kits && &font == &loadedFonts_.front()) {
            // A base font without kit 0, or whose kit 0 alone does not load,
            // loads all its kits and keeps them; failing that, the whole file.
            font.kits.reset();
            font.id = fluid_synth_sfload(synth_.get(), drumKitsOf(font.path).c_str(), 0);
            if (font.id == FLUID_FAILED)
                font.id = loadFont(synth_.get(), font, standard);
        }
    }
    // An overlay that fails to load leaves the base font playing alone.
    return loadedFonts_.front().id != FLUID_FAILED;
}

void FluidSynthOutput::Worker::playOnWorker(const SynthMessage& message)
{
    const std::optional<int> kit = rhythmKit(message);
    const auto holdsKit = [&](const LoadedFont& font) {
        return font.kits && font.kits->test(static_cast<std::size_t>(*kit));
    };
    // Kit 0 is always there, and a kit no font has plays kit 0.
    if (!kit || *kit == kitLoaded_ || *kit == 0 || std::none_of(loadedFonts_.begin(), loadedFonts_.end(), holdsKit)) {
        play(synth_.get(), message);
        return;
    }
    // The new kit's fonts go on top, the Program Change finds it there, and
    // only then do the fonts of the last kit go: here, before a note sent
    // with the change sounds, or later, once no voice does.
    const KitSet wanted = KitSet().set(0).set(static_cast<std::size_t>(*kit));
    for (LoadedFont& font : loadedFonts_) {
        if (!font.kits)
            continue;
        const int id = loadFont(synth_.get(), font, wanted);
        if (id == FLUID_FAILED && (*font.kits & wanted).any())
            continue;  // what it holds now stays
        if (font.id != FLUID_FAILED)
            retiredFonts_.push_back(font.id);
        font.id = id;
    }
    kitLoaded_ = *kit;
    play(synth_.get(), message);
    unloadRetiredFonts();
}

void FluidSynthOutput::Worker::unloadRetiredFonts()
{
    // Not while any voice sounds: FluidSynth would hand a font whose samples
    // a voice still plays to a timer thread of its own, which frees it
    // without the synth's lock while the synth may still read it. No new
    // voice can take a retired font's samples, as no channel selects it.
    if (retiredFonts_.empty() || fluid_synth_get_active_voice_count(synth_.get()) > 0)
        return;
    for (int id : retiredFonts_)
        fluid_synth_sfunload(synth_.get(), id, 0);
    retiredFonts_.clear();
}

void FluidSynthOutput::Worker::playPending(std::unique_lock<std::mutex>& lock)
{
    // The sender is held only while the list is handed over; what it sends
    // meanwhile joins the next list, until none is left.
    while (!pending_.empty()) {
        std::vector<SynthMessage> messages;
        messages.swap(pending_);
        lock.unlock();
        for (const SynthMessage& message : messages)
            if (loadOk_)
                playOnWorker(message);
        unloadRetiredFonts();
        lock.lock();
    }
    direct_.store(true, std::memory_order_release);
    changed_.notify_all();
}

void FluidSynthOutput::Worker::serveAudio()
{
    std::unique_lock lock(mutex_);
    Clock::time_point lastSound{};
    while (!stopping_) {
        if (outputLost_) {
            // Its voices were never heard and would never end: they go
            // before the note that found it dead plays on a new output.
            outputLost_ = false;
            audioUp_ = false;
            lock.unlock();
            qCWarning(lcSynth, "The audio output (%.*s) stopped playing; opening one again",
                      static_cast<int>(driverInUse_.size()), driverInUse_.data());
            lostOutput_ = outputKind(driverInUse_);
            stopDriver();
            endUnheardVoices();
            lock.lock();
            continue;
        }
        if (!pending_.empty()) {
            playPending(lock);
            continue;
        }
        if (!retiredFonts_.empty()) {
            // Tried at every wake: at the latest when the audio falls idle.
            lock.unlock();
            unloadRetiredFonts();
            lock.lock();
        }
        if (audioWanted_ && driver_) {
            audioWanted_ = false;  // asked for while it was running, or silent
            render_->silent = false;
            audioUp_ = true;
            changed_.notify_all();
        }
        if (audioWanted_ && !driver_) {
            audioStarting_ = true;
            audioWanted_ = false;
            lock.unlock();
            const bool started = startDriver();
            lock.lock();
            audioStarting_ = false;
            audioUp_ = started;
            changed_.notify_all();
            if (abandoned_)
                return;
            continue;
        }
        if (!driver_ || render_->silent) {
            changed_.wait(lock);
            continue;
        }
        const Clock::time_point lastNote{Clock::duration(lastNoteOn_.load())};
        const Clock::time_point quietSince = std::max(lastNote, lastSound);
        if (Clock::now() - quietSince < options_.idleStop) {
            changed_.wait_until(lock, quietSince + options_.idleStop);
            continue;
        }
        // A held note, or a released one still ringing (a long cymbal), keeps
        // the audio going; a tail that never fades is cut after a while, and
        // so is every voice of an output that no longer renders them.
        lock.unlock();
        const bool dead = outputDead();
        if (dead)
            lostOutput_ = outputKind(driverInUse_);
        const Voices voices = dead ? Voices{} : voicesOf(synth_.get());
        const bool tailTooLong = Clock::now() - lastNote >= options_.idleStop + kLongestTail;
        if (dead || (voices.ringing && !voices.held && tailTooLong))
            fluid_synth_all_sounds_off(synth_.get(), -1);
        lock.lock();
        if (voices.held || (voices.ringing && !tailTooLong)) {
            lastSound = Clock::now();
            continue;
        }
        audioUp_ = false;
        if (lastNoteOn_.load() != lastNote.time_since_epoch().count()) {
            audioUp_ = true;  // a note came meanwhile
            continue;
        }
        if (driverInUse_ == "jack" && keepJackAudio_ && !dead) {
            // A JACK client joins the graph too slowly to stop: it stays,
            // and hands JACK silence without waking FluidSynth.
            render_->silent = true;
            qCDebug(lcSynth, "Audio output silent after %lld ms without sound",
                    static_cast<long long>(options_.idleStop.count()));
            continue;
        }
        lock.unlock();
        stopDriver();
        if (dead)
            endUnheardVoices();
        lock.lock();
        qCDebug(lcSynth, "Audio output stopped after %lld ms of silence",
                static_cast<long long>(options_.idleStop.count()));
    }
}

bool FluidSynthOutput::Worker::startDriver()
{
    const std::optional<AudioFailure> failure = tryDrivers();
    if (failure && !abandoned_)
        endUnheardVoices();
    const std::lock_guard lock(mutex_);
    if (!failure) {
        audioFailed_ = false;
        lostOutput_.reset();
        return true;
    }
    if (!audioFailed_)
        qCWarning(lcSynth, "The built-in synth cannot play: %s", failure->detail.c_str());
    audioFailed_ = true;
    if (!failureReported_) {
        failureReported_ = true;
        failures_->report(*failure);
    }
    return false;
}

std::optional<AudioFailure> FluidSynthOutput::Worker::tryDrivers()
{
    // JACK only when a server already runs; otherwise the desktop's sound
    // server, then the sound card itself. PulseAudio comes before PipeWire's
    // own driver: PipeWire desktops serve it too, while on a PulseAudio
    // desktop a PipeWire daemon may run without any speakers behind it.
    // Drivers this FluidSynth was built without are skipped. The user hears
    // of the first one's trouble: a fallback's is rarely the cause.
    static constexpr std::array<std::string_view, 4> drivers{"jack", "pulseaudio", "pipewire", "alsa"};
    std::optional<AudioFailure> first;
    if (jackRefused_)
        first = AudioFailure{AudioOutputKind::Jack, AudioFault::JackRefused, "the JACK server refused the probe"};
    for (std::string_view name : drivers) {
        if (name == "jack" && jackRate_ && !jack_.sampleRate() && !first)
            first = AudioFailure{AudioOutputKind::Jack, AudioFault::ServerGone, "the JACK server has gone away"};
        if (name == "jack" && (!jackRate_ || !jack_.sampleRate()))
            continue;
        if (fluid_settings_setstr(settings_.get(), "audio.driver", std::string(name).c_str()) != FLUID_OK)
            continue;  // not built into this FluidSynth
        lastFluidError.clear();
        render_->synth = synth_.get();
        render_->silent = false;
        render_->lastCall = Clock::now().time_since_epoch().count();
        render_->periodic = name == "jack";
        render_->failed = false;
        const auto make = [settings = settings_.get(), render = render_.get()] {
            return std::unique_ptr<fluid_audio_driver_t, DriverDeleter>(
                new_fluid_audio_driver2(settings, &Worker::renderForOutput, render));
        };
        if (name == "jack") {
            // A JACK server that stopped since it was asked would hold the
            // worker forever; the synth is then left to the call that never returns.
            auto made = makeWithinJackLimit(jack_, make);
            if (!made) {
                abandoned_ = true;
                return first ? first
                             : AudioFailure{AudioOutputKind::Jack, AudioFault::JackNotAnswering,
                                            "the JACK server stopped answering"};
            }
            driver_ = std::move(*made);
        } else {
            driver_ = make();
        }
        if (driver_) {
            driverInUse_ = name;
            const std::lock_guard lock(mutex_);
            driverName_ = name;
            return std::nullopt;
        }
        if (!first) {
            const AudioOutputKind kind = outputKind(name);
            const AudioFault fault = kind == AudioOutputKind::Jack   ? AudioFault::JackRefused
                                     : kind == AudioOutputKind::Alsa ? AudioFault::NoDevice
                                     : lostOutput_ == kind          ? AudioFault::ServerGone
                                                                    : AudioFault::ServerUnreachable;
            first = AudioFailure{kind, fault, std::string(name) + ": " +
                                                  (lastFluidError.empty() ? "no output" : lastFluidError)};
        }
    }
    return first ? first : AudioFailure{AudioOutputKind::Alsa, AudioFault::NoDevice, "no audio output could be opened"};
}

void FluidSynthOutput::Worker::endUnheardVoices()
{
    // Without an output nothing renders: the voices of the notes played
    // meanwhile would never end, and would fill the synth's polyphony. They
    // are stopped, and one block rendered here lets them go.
    fluid_synth_all_sounds_off(synth_.get(), -1);
    std::array<float, 2 * kFluidBlock> scratch{};
    for (int i = 0; i < 2; ++i)
        fluid_synth_write_float(synth_.get(), kFluidBlock, scratch.data(), 0, 1, scratch.data() + kFluidBlock, 0, 1);
}

bool FluidSynthOutput::Worker::outputDead() const
{
    if (render_->failed.load())
        return true;
    const Clock::time_point lastCall{Clock::duration(render_->lastCall.load(std::memory_order_relaxed))};
    return render_->periodic.load() && Clock::now() - lastCall > kStalledJackOutput;
}

int FluidSynthOutput::Worker::renderForOutput(void* data, int length, int fxCount, float* fx[], int outCount,
                                               float* out[])
{
    // FluidSynth adds to the buffers it is given.
    for (int i = 0; i < outCount; ++i)
        std::fill_n(out[i], length, 0.0f);
    for (int i = 0; i < fxCount; ++i)
        std::fill_n(fx[i], length, 0.0f);
    auto* render = static_cast<OutputRender*>(data);
    render->lastCall.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
    if (!render->periodic.load(std::memory_order_relaxed))
        outputFailure = &render->failed;  // the driver's own thread, which ends with it
    if (render->silent.load(std::memory_order_relaxed))
        return FLUID_OK;
    // Without ports of their own, reverb and chorus go into the outputs.
    if (fxCount == 0)
        return fluid_synth_process(render->synth, length, outCount, out, outCount, out);
    return fluid_synth_process(render->synth, length, fxCount, fx, outCount, out);
}

void FluidSynthOutput::Worker::stopDriver()
{
    {
        const std::lock_guard lock(mutex_);
        driverName_.clear();
    }
    if (driverInUse_ == "jack")
        releaseJackClient(jack_, driver_);
    driver_.reset();
    driverInUse_ = {};
}

void FluidSynthOutput::Worker::release()
{
    if (abandoned_) {
        abandon(synth_);
        abandon(settings_);
        abandon(render_);
        return;
    }
    stopDriver();
    synth_.reset();
    settings_.reset();
}

FluidSynthOutput::FluidSynthOutput(SoundFontSet fonts, SynthOptions options, JackServer& jack)
    : SinglePortOutput(std::string(kBuiltInSynthName)),
      fonts_(std::move(fonts)),
      options_(options),
      jack_(jack),
      failureSink_(std::make_shared<FailureSink>())
{
    quietLibraries(jack_);
}

FluidSynthOutput::~FluidSynthOutput()
{
    close();
    // A PulseAudio stream takes more than a second to close: what is left of
    // the teardown then ends with the process.
    const Clock::time_point deadline = Clock::now() + kTeardownWaitAtExit;
    for (const auto& worker : closing_) {
        if (!worker->waitForEnd(deadline)) {
            qCDebug(lcSynth, "The built-in synth's audio output is still closing");
            break;
        }
    }
}

bool FluidSynthOutput::open(int index)
{
    close();
    if (index != 0)
        return false;
    auto worker = std::make_shared<Worker>(fonts_, options_, jack_, failureSink_);
    if (!worker->start(worker)) {
        qCWarning(lcSynth, "The built-in synth cannot play: no thread could be started");
        return false;
    }
    worker_ = std::move(worker);
    filter_.forget();
    return true;
}

bool FluidSynthOutput::openFailedLate() const
{
    return worker_ && worker_->loadFailed();
}

void FluidSynthOutput::setAudioFailureHandler(AudioFailureHandler handler)
{
    const std::lock_guard lock(failureSink_->mutex);
    failureSink_->handler = std::move(handler);
}

void FluidSynthOutput::close()
{
    // Workers whose thread has ended are dropped; the rest wait for it.
    std::erase_if(closing_, [](const auto& worker) { return worker->waitForEnd(Clock::now()); });
    if (!worker_)
        return;
    worker_->stop();
    closing_.push_back(std::move(worker_));
}

void FluidSynthOutput::send(std::span<const std::uint8_t> bytes)
{
    if (!worker_ || bytes.empty())
        return;
    if (bytes.front() == 0xF0) {
        if (bytes.size() < 2 || (bytes.size() == 2 && bytes.back() == 0xF7))
            return;  // nothing inside the frame
        filter_.forget();  // a reset, for one
        worker_->send({SynthMessage::Kind::Message, MidiMessage(bytes)}, false);
        return;
    }
    for (const MidiMessage& message : filter_.filter(MidiMessage(bytes)))
        worker_->send({SynthMessage::Kind::Message, message}, isNoteOn(message));
}

bool FluidSynthOutput::waitUntilLoaded()
{
    return worker_ && worker_->waitUntilLoaded();
}

bool FluidSynthOutput::waitForAudio()
{
    return worker_ && worker_->waitForAudio();
}

std::string FluidSynthOutput::audioDriver() const
{
    return worker_ ? worker_->driverName() : std::string();
}

bool FluidSynthOutput::render(std::span<float> left, std::span<float> right)
{
    if (!worker_ || !worker_->renders() || left.size() != right.size())
        return false;
    if (!worker_->waitUntilLoaded())
        return false;
    return fluid_synth_write_float(worker_->synth(), static_cast<int>(left.size()), left.data(), 0, 1,
                                   right.data(), 0, 1) == FLUID_OK;
}

fluid_synth_t* FluidSynthOutput::synth()
{
    if (!worker_)
        return nullptr;
    worker_->waitUntilLoaded();
    return worker_->synth();
}

}  // namespace padscope
