#include "core/synth/fluid/fluid_synth_output.h"

#include "core/platform/bounded_call.h"
#include "core/synth/fluid/drum_only_font.h"
#include "core/synth/fluid/planned_fonts.h"
#include "core/platform/regular_file.h"
#include "core/synth/fluid/silent_melodic_font.h"
#include "core/synth/synth_log.h"
#include "core/platform/terminal_text.h"

#include <fluidsynth.h>

#include <QLoggingCategory>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace padscope {

// One font as the synth holds it: only the drum kits it plays, as only the
// rhythm channel plays; the whole font where it cannot be read that way.
struct LoadedFont {
    std::string path;
    std::optional<KitSet> kits;  // the kits it plays; none when loaded whole
    KitLayers layers;            // what it makes each of them of
    int id = FLUID_FAILED;       // FluidSynth's; FLUID_FAILED while nothing of it is loaded
    std::optional<unsigned> lastVoiceBefore;  // the newest voice sounding when it loaded
};

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

using Clock = std::chrono::steady_clock;


// FluidSynth renders in blocks of this many frames.
constexpr int kFluidBlock = 64;

// MIDI channel 10, the only one the program plays.
constexpr int kRhythmChannel = 9;

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

SynthEngine::Voices voicesOf(fluid_synth_t* synth)
{
    std::array<fluid_voice_t*, 256> list{};
    fluid_synth_get_voicelist(synth, list.data(), static_cast<int>(list.size()), -1);
    SynthEngine::Voices voices;
    for (fluid_voice_t* voice : list) {
        if (!voice)
            break;
        voices.ringing = true;
        voices.held = voices.held || fluid_voice_is_on(voice);
    }
    return voices;
}

// The note ids of the voices sounding.
std::vector<unsigned> voiceIds(fluid_synth_t* synth)
{
    std::array<fluid_voice_t*, 256> list{};
    fluid_synth_get_voicelist(synth, list.data(), static_cast<int>(list.size()), -1);
    std::vector<unsigned> ids;
    for (fluid_voice_t* voice : list) {
        if (!voice)
            break;
        ids.push_back(fluid_voice_get_id(voice));
    }
    return ids;
}

std::optional<unsigned> newestVoice(fluid_synth_t* synth)
{
    const std::vector<unsigned> ids = voiceIds(synth);
    if (ids.empty())
        return std::nullopt;
    return *std::max_element(ids.begin(), ids.end());
}

// The program of a Program Change on the rhythm channel (MIDI channel 10).
std::optional<int> rhythmKit(const MidiMessage& message)
{
    if (message.status() != 0xC9)
        return std::nullopt;
    return message.data1();
}

// Loads the file's `wanted` kits with their drum sounds shaped, or the whole
// file where it has no kit list; FLUID_FAILED when none of them are in it,
// or it does not load.
int loadFont(fluid_synth_t* synth, unsigned engine, const LoadedFont& font, const KitSet& wanted,
             const DrumSounds& sounds)
{
    if (!font.kits)
        return fluid_synth_sfload(synth, font.path.c_str(), 0);
    if ((*font.kits & wanted).none())
        return FLUID_FAILED;
    return fluid_synth_sfload(synth, synthsOwn(drumKitsOf(font.path, font.layers, wanted, sounds), engine).c_str(),
                              0);
}

// Numbers the engines, whose fonts' names must differ (see synthsOwn()).
unsigned nextEngineNumber()
{
    static std::atomic<unsigned> made{0};
    return made++;
}

bool isRhythmNoteOn(const MidiMessage& message)
{
    return message.status() == (0x90 | kRhythmChannel) && message.data2() > 0;
}

}  // namespace

void FluidSynthEngine::SettingsDeleter::operator()(fluid_settings_t* p) const { delete_fluid_settings(p); }
void FluidSynthEngine::SynthDeleter::operator()(fluid_synth_t* p) const { delete_fluid_synth(p); }
void FluidSynthEngine::DriverDeleter::operator()(fluid_audio_driver_t* p) const { delete_fluid_audio_driver(p); }

// What the audio output's callback reads; given up with a JACK driver that is.
struct FluidSynthEngine::OutputRender {
    fluid_synth_t* synth = nullptr;
    std::atomic<bool> silent{false};  // hand the output silence without rendering
    std::atomic<Clock::rep> lastCall{0};  // when the output last asked for samples
    std::atomic<bool> periodic{false};    // it asks every period (JACK)
    std::atomic<bool> failed{false};      // its driver has reported an error on its thread
};

bool FluidSynthEngine::create()
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
    // FluidSynth would pin the samples in memory, which counts against a
    // user's small locked-memory limit (8 MiB on Debian); JACK's client then
    // cannot lock its own shared memory and the synth never joins the server.
    fluid_settings_setint(s, "synth.lock-memory", 0);
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

FluidSynthEngine::FluidSynthEngine(SoundFontSet fonts, SynthOptions options, JackServer& jack)
    : fonts_(std::move(fonts)), options_(options), jack_(jack), number_(nextEngineNumber()),
      render_(std::make_unique<OutputRender>())
{
    quietLibraries(jack_);
}

FluidSynthEngine::~FluidSynthEngine() = default;

bool FluidSynthEngine::load()
{
    // Asking JACK opens a client: here, on the port's worker.
    if (options_.audio == SynthAudio::Device) {
        jackRate_ = jack_.sampleRate();
        jackRefused_ = !jackRate_ && jack_.listening();
        // PipeWire suspends its sound device only once no client runs.
        keepJackAudio_ = jackRate_ && options_.keepJackAudio && !jack_.isPipeWire();
    }
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
                  lastFluidError.empty() ? "FluidSynth could not be started" : terminalSafe(lastFluidError).c_str());
    }
    return ok;
}

void FluidSynthEngine::play(std::span<const std::uint8_t> message)
{
    if (message.empty())
        return;
    drumSounds_.take(message);
    fluid_synth_t* synth = synth_.get();
    if (message[0] == 0xF0) {
        // FluidSynth wants the message without its F0 and F7 frame.
        std::span<const std::uint8_t> bytes = message.subspan(1);
        if (!bytes.empty() && bytes.back() == 0xF7)
            bytes = bytes.first(bytes.size() - 1);
        fluid_synth_sysex(synth, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()),
                          nullptr, nullptr, nullptr, 0);
        return;
    }
    const int status = message[0];
    const int data1 = message.size() > 1 ? message[1] & 0x7F : 0;
    const int data2 = message.size() > 2 ? message[2] & 0x7F : 0;
    const int channel = status & 0x0F;
    switch (status & 0xF0) {
    case 0x80: fluid_synth_noteoff(synth, channel, data1); break;
    // FluidSynth treats velocity 0 as a Note Off.
    case 0x90:
        fluid_synth_noteon(synth, channel, data1, data2);
        break;
    case 0xA0: fluid_synth_key_pressure(synth, channel, data1, data2); break;
    case 0xB0: fluid_synth_cc(synth, channel, data1, data2); break;
    case 0xC0: fluid_synth_program_change(synth, channel, data1); break;
    case 0xD0: fluid_synth_channel_pressure(synth, channel, data1); break;
    case 0xE0: fluid_synth_pitch_bend(synth, channel, data1 | data2 << 7); break;
    default: break;  // running status or system messages: nothing to play
    }
}

bool FluidSynthEngine::loadFonts()
{
    // FluidSynth would wait forever opening a FIFO: it is handed regular files alone.
    if (!RegularFile(fonts_.base)) {
        lastFluidError = "the SoundFont " + fonts_.base.string() + " is not a readable file";
        return false;
    }
    const KitSet standard = KitSet().set(0);
    for (PlannedFont& font : plannedFonts(fonts_))
        if (RegularFile(font.path))
            loadedFonts_.push_back({std::move(font.path), font.kits, std::move(font.layers), FLUID_FAILED, {}});
    for (LoadedFont& font : loadedFonts_) {
        font.id = loadFont(synth_.get(), number_, font, standard, {});
        if (font.id == FLUID_FAILED && font.kits && &font == &loadedFonts_.front()) {
            // A base font without kit 0, or whose kit 0 alone does not load,
            // loads all its kits and keeps them; failing that, the whole file.
            font.kits.reset();
            font.id = fluid_synth_sfload(synth_.get(), synthsOwn(drumKitsOf(font.path), number_).c_str(), 0);
            if (font.id == FLUID_FAILED)
                font.id = loadFont(synth_.get(), number_, font, standard, {});
        }
    }
    // An overlay that fails to load leaves the base font playing alone.
    return loadedFonts_.front().id != FLUID_FAILED;
}

std::optional<FailureReport> FluidSynthEngine::replaceFonts(const std::vector<std::filesystem::path>& files)
{
    for (const auto& file : files) {
        if (const std::optional<Failure> fault = soundFontFault(file))
            return FailureReport{*fault, file.string()};
    }
    if (!synth_ || files.empty())
        return FailureReport{Failure::SoundFontNotASoundFont, files.empty() ? std::string() : files.front().string()};
    // The new fonts go on top of the old ones, each with the kits the synth
    // holds now; only once all of them have loaded do the old ones go.
    const KitSet wanted = KitSet().set(0).set(static_cast<std::size_t>(kitLoaded_));
    std::vector<LoadedFont> loaded;
    std::optional<FailureReport> failure;
    for (PlannedFont& planned : plannedFonts(soundFontSetOf(files))) {
        LoadedFont font{std::move(planned.path), planned.kits, std::move(planned.layers), FLUID_FAILED, {}};
        lastFluidError.clear();
        font.lastVoiceBefore = newestVoice(synth_.get());
        font.id = loadFont(synth_.get(), number_, font, wanted, soundsLoaded_);
        // A font none of whose kits is wanted yet loads when one is chosen.
        if (font.id == FLUID_FAILED && (!font.kits || (*font.kits & wanted).any())) {
            qCWarning(lcSynth, "The SoundFont %s cannot be played: %s", terminalSafe(font.path).c_str(),
                      lastFluidError.empty() ? "FluidSynth could not load it" : terminalSafe(lastFluidError).c_str());
            failure = FailureReport{Failure::SoundFontNotASoundFont, font.path, lastFluidError};
            break;
        }
        loaded.push_back(std::move(font));
    }
    if (failure) {
        // Nothing selects them yet: they go at once, and the old fonts play on.
        for (const LoadedFont& font : loaded)
            if (font.id != FLUID_FAILED)
                fluid_synth_sfunload(synth_.get(), font.id, 0);
        return failure;
    }
    for (const LoadedFont& font : loadedFonts_)
        if (font.id != FLUID_FAILED)
            retire(font);
    loadedFonts_ = std::move(loaded);
    selectKitAgain();
    return std::nullopt;
}

void FluidSynthEngine::selectKitAgain()
{
    // From the fonts loaded now; where they hold nothing for the kit,
    // nothing, rather than keep a retired font in use.
    int font = 0, bank = 0, program = 0;
    if (fluid_synth_get_program(synth_.get(), kRhythmChannel, &font, &bank, &program) == FLUID_OK)
        fluid_synth_program_change(synth_.get(), kRhythmChannel, program);
    if (fluid_preset_t* preset = fluid_synth_get_channel_preset(synth_.get(), kRhythmChannel);
        preset && std::any_of(retiredFonts_.begin(), retiredFonts_.end(), [preset](const RetiredFont& font) {
            return font.id == fluid_sfont_get_id(fluid_preset_get_sfont(preset));
        }))
        fluid_synth_unset_program(synth_.get(), kRhythmChannel);
}

bool FluidSynthEngine::needsWorker(std::span<const std::uint8_t> message) const
{
    return readsSamples(message) || drumSounds_.changedBy(message);
}

void FluidSynthEngine::playOnWorker(const MidiMessage& message)
{
    const std::optional<int> kit = rhythmKit(message);
    const auto holdsKit = [&](const LoadedFont& font) {
        return font.kits && font.kits->test(static_cast<std::size_t>(*kit));
    };
    // Kit 0 is always there, and a kit no font has plays kit 0.
    if (!kit || *kit == kitLoaded_ || *kit == 0 || std::none_of(loadedFonts_.begin(), loadedFonts_.end(), holdsKit)) {
        if (isRhythmNoteOn(message))
            catchUp();
        play(message);
        return;
    }
    // The new kit's fonts go on top, the Program Change finds it there, and
    // only then do the fonts of the last kit go: here, before a note sent
    // with the change sounds, or later, once no voice does. The change puts
    // every drum sound back.
    loadKits(KitSet().set(0).set(static_cast<std::size_t>(*kit)), {});
    kitLoaded_ = *kit;
    play(message);
    unloadRetiredFonts();
}

void FluidSynthEngine::catchUp()
{
    if (drumSounds_.sounds() == soundsLoaded_)
        return;
    // Voices still ringing keep the zones they started from: the fonts they
    // play retire, and the kit is selected again from the new ones.
    loadKits(KitSet().set(0).set(static_cast<std::size_t>(kitLoaded_)), drumSounds_.sounds());
    selectKitAgain();
}

void FluidSynthEngine::loadKits(const KitSet& wanted, const DrumSounds& sounds)
{
    for (LoadedFont& font : loadedFonts_) {
        if (!font.kits)
            continue;
        const std::optional<unsigned> lastBefore = newestVoice(synth_.get());
        const int id = loadFont(synth_.get(), number_, font, wanted, sounds);
        if (id == FLUID_FAILED && (*font.kits & wanted).any())
            continue;  // what it holds now stays
        if (font.id != FLUID_FAILED)
            retire(font);
        font.id = id;
        font.lastVoiceBefore = lastBefore;
    }
    // Not tried again at every note when a font cannot be shaped.
    soundsLoaded_ = sounds;
}

bool FluidSynthEngine::unloadRetiredFonts()
{
    // Not while a voice that may play its samples sounds: FluidSynth would
    // hand the font to a timer thread of its own, which frees it without the
    // synth's lock while the synth may still read it. No new voice can take a
    // retired font's samples, as no channel selects it.
    if (retiredFonts_.empty())
        return false;
    const std::vector<unsigned> sounding = voiceIds(synth_.get());
    std::erase_if(retiredFonts_, [&](const RetiredFont& font) {
        const bool used = std::any_of(sounding.begin(), sounding.end(), [&font](unsigned voice) {
            return font.newest && voice <= *font.newest && (!font.lastBefore || voice > *font.lastBefore);
        });
        if (!used)
            fluid_synth_sfunload(synth_.get(), font.id, 0);
        return !used;
    });
    return !retiredFonts_.empty();
}

void FluidSynthEngine::retire(const LoadedFont& font)
{
    retiredFonts_.push_back({font.id, font.lastVoiceBefore, newestVoice(synth_.get())});
}

std::optional<AudioFailure> FluidSynthEngine::startAudio()
{
    const std::optional<AudioFailure> failure = tryDrivers();
    if (failure && !abandoned_)
        endUnheardVoices();
    if (!failure)
        lostOutput_.reset();
    return failure;
}

void FluidSynthEngine::stopAudio(bool dead)
{
    if (dead)
        lostOutput_ = outputKind(driverInUse_);
    stopDriver();
    if (dead)
        endUnheardVoices();
}

void FluidSynthEngine::setSilent(bool silent)
{
    render_->silent.store(silent);
}

bool FluidSynthEngine::silent() const
{
    return render_->silent.load();
}

SynthEngine::Voices FluidSynthEngine::voices()
{
    return voicesOf(synth_.get());
}

void FluidSynthEngine::allSoundsOff()
{
    fluid_synth_all_sounds_off(synth_.get(), -1);
}

bool FluidSynthEngine::render(std::span<float> left, std::span<float> right)
{
    return fluid_synth_write_float(synth_.get(), static_cast<int>(left.size()), left.data(), 0, 1, right.data(), 0,
                                   1) == FLUID_OK;
}

std::optional<AudioFailure> FluidSynthEngine::tryDrivers()
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
                new_fluid_audio_driver2(settings, &FluidSynthEngine::renderForOutput, render));
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

void FluidSynthEngine::endUnheardVoices()
{
    // Without an output nothing renders: the voices of the notes played
    // meanwhile would never end, and would fill the synth's polyphony. They
    // are stopped, and one block rendered here lets them go.
    fluid_synth_all_sounds_off(synth_.get(), -1);
    std::array<float, 2 * kFluidBlock> scratch{};
    for (int i = 0; i < 2; ++i)
        fluid_synth_write_float(synth_.get(), kFluidBlock, scratch.data(), 0, 1, scratch.data() + kFluidBlock, 0, 1);
}

bool FluidSynthEngine::outputDead() const
{
    if (render_->failed.load())
        return true;
    const Clock::time_point lastCall{Clock::duration(render_->lastCall.load(std::memory_order_relaxed))};
    return render_->periodic.load() && Clock::now() - lastCall > kStalledJackOutput;
}

int FluidSynthEngine::renderForOutput(void* data, int length, int fxCount, float* fx[], int outCount,
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

void FluidSynthEngine::stopDriver()
{
    if (driverInUse_ == "jack")
        releaseJackClient(jack_, driver_);
    driver_.reset();
    driverInUse_ = {};
}

void FluidSynthEngine::release()
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
    : SynthPort(std::string(kBuiltInSynthName), options,
                [fonts = std::move(fonts), options, &jack](const std::vector<std::filesystem::path>& chosen) {
                    return std::make_unique<FluidSynthEngine>(chosen.empty() ? fonts : soundFontSetOf(chosen),
                                                              options, jack);
                }),
      offline_(options.audio == SynthAudio::Offline)
{
}

FluidSynthEngine* FluidSynthOutput::engine()
{
    return static_cast<FluidSynthEngine*>(loadedEngine());
}

bool FluidSynthOutput::render(std::span<float> left, std::span<float> right)
{
    if (!offline_ || left.size() != right.size())
        return false;
    FluidSynthEngine* loaded = engine();
    return loaded && loaded->render(left, right);
}

fluid_synth_t* FluidSynthOutput::synth()
{
    FluidSynthEngine* loaded = engine();
    return loaded ? loaded->synth() : nullptr;
}

}  // namespace padscope
