#include "fluid_synth_output.h"

#include "audio_system.h"

#include <fluidsynth.h>

#include <QLoggingCategory>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>

namespace padscope {

Q_LOGGING_CATEGORY(lcSynth, "padscope.synth", QtWarningMsg)

namespace {

// Roland's device id of the GS Reset this program sends: without a matching
// synth.device-id FluidSynth ignores the message.
constexpr int kGsDeviceId = 0x10;
// A touch louder than FluidSynth's default of 0.2: a drum hit is rarely more
// than a handful of voices.
constexpr double kSynthGain = 0.5;

// FluidSynth's last error on this thread: the reason an open failed.
thread_local std::string lastFluidError;

void logFluidMessage(int level, const char* message, void*)
{
    if (level <= FLUID_ERR)
        lastFluidError = message;
    qCDebug(lcSynth, "FluidSynth: %s", message);
}

// FluidSynth, JACK and ALSA all print to stderr by default. Their messages
// go to quiet logging categories instead; the program shows its own message
// when the port cannot be opened, and says why on lcSynth.
void quietLibraries()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, logFluidMessage, nullptr);
    });
    // FluidSynth's JACK driver opens its client with no options; this also
    // keeps libjack from launching a server of its own.
    quietAudioSystem();
}

// A SoundFont is a RIFF file of form type "sfbk". A file shorter than its
// RIFF header says was cut off, by a failed download for instance.
bool looksLikeSoundFont(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    const auto fileSize = std::filesystem::file_size(path, error);
    std::ifstream file(path, std::ios::binary);
    std::array<unsigned char, 12> head{};
    if (error || !file.read(reinterpret_cast<char*>(head.data()), head.size()))
        return false;
    const auto tag = [&](std::size_t at, std::string_view text) {
        return std::equal(text.begin(), text.end(), head.begin() + static_cast<std::ptrdiff_t>(at));
    };
    const std::uintmax_t riffSize = head[4] | head[5] << 8 | head[6] << 16 | std::uintmax_t{head[7]} << 24;
    return tag(0, "RIFF") && tag(8, "sfbk") && riffSize + 8 <= fileSize;
}

}  // namespace

SoundFontSearch standardSoundFontSearch()
{
    // Debian and Ubuntu keep SoundFonts in /usr/share/sounds/sf2, Fedora and
    // Arch in /usr/share/soundfonts.
    const std::array<std::filesystem::path, 3> folders{
        "/usr/share/sounds/sf2", "/usr/share/soundfonts", "/usr/local/share/soundfonts"};
    SoundFontSearch search;
    for (const auto& folder : folders) {
        search.bases.push_back(folder / "default-GM.sf2");
        search.bases.push_back(folder / "default.sf2");
        search.bases.push_back(folder / "FluidR3_GM.sf2");
    }
    for (const auto& folder : folders)
        search.overlays.push_back(folder / "FluidR3_GS.sf2");
    return search;
}

std::optional<SoundFontSet> findSoundFonts(const SoundFontSearch& search)
{
    SoundFontSet set;
    for (const auto& path : search.bases) {
        if (looksLikeSoundFont(path)) {
            set.base = path;
            break;
        }
    }
    if (set.base.empty())
        return std::nullopt;
    for (const auto& path : search.overlays) {
        if (looksLikeSoundFont(path)) {
            set.overlays.push_back(path);
            break;  // the same font is often installed in more than one place
        }
    }
    return set;
}

void FluidSynthOutput::SettingsDeleter::operator()(fluid_settings_t* p) const { delete_fluid_settings(p); }
void FluidSynthOutput::SynthDeleter::operator()(fluid_synth_t* p) const { delete_fluid_synth(p); }
void FluidSynthOutput::DriverDeleter::operator()(fluid_audio_driver_t* p) const { delete_fluid_audio_driver(p); }

FluidSynthOutput::FluidSynthOutput(SoundFontSet fonts, SynthOptions options)
    : fonts_(std::move(fonts)), options_(options)
{
    quietLibraries();
}

FluidSynthOutput::~FluidSynthOutput()
{
    close();
}

std::string FluidSynthOutput::portName(int index) const
{
    return probe(index) == PortProbe::Ok ? std::string(kBuiltInSynthName) : std::string();
}

PortProbe FluidSynthOutput::probe(int index) const
{
    return index == 0 ? PortProbe::Ok : PortProbe::NoSuchPort;
}

bool FluidSynthOutput::open(int index)
{
    close();
    if (probe(index) != PortProbe::Ok)
        return false;
    lastFluidError.clear();
    if (openSynth())
        return true;
    qCWarning(lcSynth, "The built-in synth cannot play: %s",
              lastFluidError.empty() ? "no audio output could be opened" : lastFluidError.c_str());
    return false;
}

bool FluidSynthOutput::openSynth()
{
    const std::optional<double> jackRate =
        options_.audio == SynthAudio::Device ? runningJackSampleRate() : std::nullopt;

    settings_.reset(new_fluid_settings());
    if (!settings_)
        return false;
    fluid_settings_t* s = settings_.get();
    fluid_settings_setint(s, "synth.dynamic-sample-loading", options_.dynamicSampleLoading ? 1 : 0);
    fluid_settings_setstr(s, "synth.midi-bank-select", "gs");
    fluid_settings_setint(s, "synth.device-id", kGsDeviceId);
    // Messages come from the GUI thread while the audio thread renders.
    fluid_settings_setint(s, "synth.threadsafe-api", 1);
    fluid_settings_setnum(s, "synth.gain", kSynthGain);
    fluid_settings_setnum(s, "synth.sample-rate", jackRate.value_or(kSynthSampleRate));
    fluid_settings_setint(s, "audio.periods", kAudioPeriods);
    fluid_settings_setint(s, "audio.period-size", kAudioPeriodSize);
    fluid_settings_setstr(s, "audio.jack.id", std::string(kSynthJackClientName).c_str());
    fluid_settings_setint(s, "audio.jack.autoconnect", 1);

    synth_.reset(new_fluid_synth(s));
    if (!synth_) {
        close();
        return false;
    }
    if (fluid_synth_sfload(synth_.get(), fonts_.base.string().c_str(), 1) == FLUID_FAILED) {
        close();
        return false;
    }
    // An overlay that fails to load leaves the base font playing alone.
    for (const auto& overlay : fonts_.overlays)
        fluid_synth_sfload(synth_.get(), overlay.string().c_str(), 1);

    if (options_.audio == SynthAudio::Device && !startAudio(jackRate.has_value())) {
        close();
        return false;
    }
    return true;
}

bool FluidSynthOutput::startAudio(bool jackRunning)
{
    // JACK only when a server already runs; otherwise the desktop's sound
    // server, then the sound card itself. PulseAudio comes before PipeWire's
    // own driver: PipeWire desktops serve it too, while on a PulseAudio
    // desktop a PipeWire daemon may run without any speakers behind it.
    // Drivers this FluidSynth was built without are skipped.
    static constexpr std::array<std::string_view, 4> drivers{"jack", "pulseaudio", "pipewire", "alsa"};
    for (std::string_view name : drivers) {
        if (name == "jack" && !jackRunning)
            continue;
        if (fluid_settings_setstr(settings_.get(), "audio.driver", std::string(name).c_str()) != FLUID_OK)
            continue;  // not built into this FluidSynth
        if (name == "jack") {
            // A JACK server that stopped since it was asked would hold the
            // program forever; the worker keeps the synth if it never returns.
            auto made = std::make_shared<fluid_audio_driver_t*>(nullptr);
            fluid_settings_t* settings = settings_.get();
            fluid_synth_t* synth = synth_.get();
            if (!runBounded([made, settings, synth] { *made = new_fluid_audio_driver(settings, synth); },
                            kJackTimeLimit)) {
                markJackServerHung();
                abandon(synth_);
                abandon(settings_);
                return false;
            }
            driver_.reset(*made);
        } else {
            driver_.reset(new_fluid_audio_driver(settings_.get(), synth_.get()));
        }
        if (driver_) {
            driverName_ = name;
            return true;
        }
    }
    return false;
}

void FluidSynthOutput::close()
{
    if (driver_ && driverName_ == "jack") {
        // A JACK client whose server has gone is left alone; one whose
        // server stopped answering is closed by a worker that may wait forever.
        if (jackServerGone()) {
            abandon(driver_);
        } else {
            auto owned = std::make_shared<decltype(driver_)>(std::move(driver_));
            if (!runBounded([owned] { owned->reset(); }, kJackTimeLimit))
                markJackServerHung();
        }
    }
    driver_.reset();
    driverName_ = {};
    synth_.reset();
    settings_.reset();
}

void FluidSynthOutput::reset()
{
    if (synth_)
        fluid_synth_all_sounds_off(synth_.get(), -1);
}

void FluidSynthOutput::sendShort(std::uint32_t word)
{
    fluid_synth_t* synth = synth_.get();
    if (!synth)
        return;
    const int status = static_cast<int>(word & 0xFF);
    const int data1 = static_cast<int>(word >> 8 & 0x7F);
    const int data2 = static_cast<int>(word >> 16 & 0x7F);
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

void FluidSynthOutput::sendSysex(std::span<const std::uint8_t> bytes)
{
    if (!synth_)
        return;
    // FluidSynth wants the message without its F0 and F7 frame.
    if (!bytes.empty() && bytes.front() == 0xF0)
        bytes = bytes.subspan(1);
    if (!bytes.empty() && bytes.back() == 0xF7)
        bytes = bytes.first(bytes.size() - 1);
    if (bytes.empty())
        return;
    fluid_synth_sysex(synth_.get(), reinterpret_cast<const char*>(bytes.data()),
                      static_cast<int>(bytes.size()), nullptr, nullptr, nullptr, 0);
}

bool FluidSynthOutput::render(std::span<float> left, std::span<float> right)
{
    if (!synth_ || driver_ || options_.audio != SynthAudio::Offline || left.size() != right.size())
        return false;
    return fluid_synth_write_float(synth_.get(), static_cast<int>(left.size()), left.data(), 0, 1,
                                   right.data(), 0, 1) == FLUID_OK;
}

std::unique_ptr<MidiOutput> makeBuiltInSynth(const SoundFontSearch& search, SynthOptions options)
{
    auto fonts = findSoundFonts(search);
    if (!fonts)
        return nullptr;
    if (options.audio == SynthAudio::Device && !audioOutputPresent()) {
        qCInfo(lcSynth, "No audio output (JACK, PulseAudio, PipeWire or ALSA): the built-in synth is not listed");
        return nullptr;
    }
    return std::make_unique<FluidSynthOutput>(std::move(*fonts), options);
}

}  // namespace padscope
