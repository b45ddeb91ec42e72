// The built-in synth port, rendered offline: no audio driver, the test pulls
// the samples itself.
#include "core/midi/drum_sound_messages.h"
#include "core/synth/fluid/drum_only_font.h"
#include "core/synth/fluid/make_built_in_synth.h"
#include "core/midi/port_session.h"
#include "core/midi/press_messages.h"
#include "tests/support/recording_output.h"
#include "tests/support/sound_font_builder.h"
#include "tests/support/temp_file.h"
#include "testing/wait_until.h"

#include <gtest/gtest.h>

#include <fluidsynth.h>
#include <glib.h>

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <future>
#include <set>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

using namespace padscope;

namespace {

constexpr int kBlock = 64;              // FluidSynth's internal rendering block
constexpr float kSilence = 1e-6f;       // below this a sample counts as silent
constexpr float kAudibleRms = 1e-3f;    // about -60 dBFS
constexpr int kRhythmChannel = 9;       // MIDI channel 10
constexpr int kRate = static_cast<int>(kSynthSampleRate);

const char* const kNoSoundFont =
    "no General MIDI SoundFont installed (Debian: apt install fluid-soundfont-gm fluid-soundfont-gs)";

using test::TempFile;

// The first 12 bytes of a SoundFont, and nothing a loader could use.
std::string soundFontHeaderOnly() { return std::string("RIFF\x04\0\0\0sfbk", 12); }

// Collects what FluidSynth logs as errors or warnings while it lives.
class LogCapture {
public:
    LogCapture()
    {
        for (int level : {FLUID_ERR, FLUID_WARN})
            previous_.push_back(fluid_set_log_function(level, record, this));
    }
    ~LogCapture()
    {
        fluid_set_log_function(FLUID_ERR, previous_[0], nullptr);
        fluid_set_log_function(FLUID_WARN, previous_[1], nullptr);
    }
    const std::vector<std::string>& lines() const { return lines_; }

private:
    static void record(int, const char* message, void* self)
    {
        static_cast<LogCapture*>(self)->lines_.emplace_back(message);
    }
    std::vector<fluid_log_function_t> previous_;
    std::vector<std::string> lines_;
};

// Asks the synth for other fonts and waits for its answer; one that never
// comes counts as a failure of its own.
std::optional<FailureReport> askForFonts(FluidSynthOutput& synth, std::vector<std::filesystem::path> files)
{
    std::promise<std::optional<FailureReport>> told;
    std::future<std::optional<FailureReport>> answer = told.get_future();
    EXPECT_TRUE(synth.loadSoundFonts(std::move(files), [&told](const auto& failure) { told.set_value(failure); }));
    if (answer.wait_for(std::chrono::seconds(20)) != std::future_status::ready)
        return FailureReport{Failure::NoPorts, "no answer"};
    return answer.get();
}

class OfflineSynth : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto fonts = findSoundFonts(standardSoundFontSearch());
        if (!fonts)
            GTEST_SKIP() << kNoSoundFont;
        synth_ = std::make_unique<FluidSynthOutput>(*fonts, SynthOptions{SynthAudio::Offline, true});
        ASSERT_TRUE(synth_->open(0));
        synth_->send(kGsReset);
    }

    fluid_synth_t* fluid() { return synth_->synth(); }

    void press(int note, int program, ControllerValues controllers = defaultControllerValues())
    {
        for (const auto& word : pressMessages(controllers, note, program, 2))
            synth_->send(word);
    }

    // Renders `frames` frames; both channels, left then right.
    std::vector<float> render(int frames)
    {
        std::vector<float> left(static_cast<std::size_t>(frames)), right(left.size());
        EXPECT_TRUE(synth_->render(left, right));
        left.insert(left.end(), right.begin(), right.end());
        return left;
    }

    static float rms(const std::vector<float>& samples)
    {
        double sum = 0;
        for (float s : samples)
            sum += double(s) * s;
        return samples.empty() ? 0.0f : static_cast<float>(std::sqrt(sum / samples.size()));
    }

    static float peak(const std::vector<float>& samples)
    {
        float p = 0;
        for (float s : samples)
            p = std::max(p, std::abs(s));
        return p;
    }

    int controller(int cc)
    {
        int value = -1;
        EXPECT_EQ(fluid_synth_get_cc(fluid(), kRhythmChannel, cc, &value), FLUID_OK);
        return value;
    }

    int pitchBend()
    {
        int value = -1;
        EXPECT_EQ(fluid_synth_get_pitch_bend(fluid(), kRhythmChannel, &value), FLUID_OK);
        return value;
    }

    // Voices that have not had their Note Off yet.
    int heldVoices()
    {
        std::vector<fluid_voice_t*> voices(256, nullptr);
        fluid_synth_get_voicelist(fluid(), voices.data(), static_cast<int>(voices.size()), -1);
        return static_cast<int>(std::count_if(voices.begin(), voices.end(),
                                              [](fluid_voice_t* v) { return v && fluid_voice_is_on(v); }));
    }

    // The program of the kit that channel 10 really plays, or -1.
    int playingKit()
    {
        fluid_preset_t* preset = fluid_synth_get_channel_preset(fluid(), kRhythmChannel);
        if (!preset || fluid_preset_get_banknum(preset) != 128)
            return -1;
        return fluid_preset_get_num(preset);
    }

    // Whether the kit has an instrument on the note: a Note On starts voices.
    bool playsNote(int program, int note)
    {
        synth_->send(programChangeMessage(program));
        synth_->send(shortMessage(kStatusNoteOn, note, 100));
        const bool sounds = fluid_synth_get_active_voice_count(fluid()) > 0;
        soundsOff();
        return sounds;
    }

    int lowestNote(int program)
    {
        for (int note = 0; note < 128; ++note)
            if (playsNote(program, note))
                return note;
        return -1;
    }

    // Programs of bank 128 over the fonts the synth holds now.
    std::set<int> heldKits()
    {
        std::set<int> programs;
        for (int i = 0; i < fluid_synth_sfcount(fluid()); ++i) {
            fluid_sfont_t* font = fluid_synth_get_sfont(fluid(), static_cast<unsigned>(i));
            fluid_sfont_iteration_start(font);
            while (fluid_preset_t* preset = fluid_sfont_iteration_next(font))
                if (fluid_preset_get_banknum(preset) == 128)
                    programs.insert(fluid_preset_get_num(preset));
        }
        return programs;
    }

    // The file of the font whose preset the rhythm channel plays.
    std::string playingFont()
    {
        fluid_preset_t* preset = fluid_synth_get_channel_preset(fluid(), kRhythmChannel);
        const std::string name = preset ? fluid_sfont_get_name(fluid_preset_get_sfont(preset)) : "";
        return name.substr(name.rfind('/') + 1);
    }

    std::optional<FailureReport> playFonts(std::vector<std::filesystem::path> files)
    {
        return askForFonts(*synth_, std::move(files));
    }

    // All Sound Off on the rhythm channel: every voice stops at once.
    void soundsOff() { synth_->send(shortMessage(0xB9, 120)); }

    // Stops every voice and lets reverb and chorus die away.
    void quieten()
    {
        soundsOff();
        render(kRate);
    }

    // Programs of bank 128, the drum kits, over every font the synth plays:
    // it holds only the kits it was asked for.
    std::set<int> kitPrograms()
    {
        const auto fonts = findSoundFonts(standardSoundFontSearch());
        std::vector<std::filesystem::path> paths{fonts->base};
        paths.insert(paths.end(), fonts->overlays.begin(), fonts->overlays.end());
        std::set<int> programs;
        for (const auto& path : paths) {
            const auto kits = drumKitsIn(path.string());
            EXPECT_TRUE(kits) << path << " cannot be read as drum kits";
            for (std::size_t program = 0; kits && program < kits->size(); ++program)
                if (kits->test(program))
                    programs.insert(static_cast<int>(program));
        }
        return programs;
    }

    std::unique_ptr<FluidSynthOutput> synth_;
};

}  // namespace

TEST(SynthPort, ListsOneNamedPortWithoutReadingTheSoundFont)
{
    // A file that only starts like a SoundFont: listing and naming the port
    // must not notice, only the open may fail on it.
    TempFile font(soundFontHeaderOnly());
    // FluidSynth hands the bad file on to libinstpatch, whose assertion
    // messages go to GLib's default log handler.
    const GLogFunc previous =
        g_log_set_default_handler([](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    // Offline, so that the port is listed whatever audio this machine has.
    auto port = makeBuiltInSynth({{font.path()}, {}}, {SynthAudio::Offline, true});
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->portCount(), 1);
    EXPECT_EQ(port->portName(0), "Padscope GS Synth");
    EXPECT_EQ(port->portName(1), "");
    EXPECT_FALSE(port->open(1));
    EXPECT_FALSE(port->open(-1));

    // The port opens at once; the font is read behind it, and found unusable.
    EXPECT_TRUE(port->open(0));
    EXPECT_FALSE(port->open(1));
    FluidSynthOutput offline(SoundFontSet{font.path(), {}}, {SynthAudio::Offline, true});
    EXPECT_TRUE(offline.open(0));
    EXPECT_FALSE(offline.waitUntilLoaded());
    EXPECT_TRUE(offline.openFailedLate());
    std::vector<float> left(kBlock), right(kBlock);
    EXPECT_FALSE(offline.render(left, right));

    // Known by the end of the GS Reset's wait, it is reported as a failed
    // open, and no name is kept for the port.
    FluidSynthOutput late(SoundFontSet{font.path(), {}}, {SynthAudio::Offline, true});
    RecordingNotifier notifier;
    PortSession session(late, notifier, [&late](std::chrono::milliseconds) { late.waitUntilLoaded(); });
    session.countPorts();
    session.openRemembered(0, "Padscope GS Synth");
    EXPECT_EQ(notifier.failures, (std::vector<Failure>{Failure::PortOpenFailed, Failure::PortOpenFailed}));
    EXPECT_EQ(session.portName(), "");
    // Everything sent to the unopened port is dropped.
    port->send(kGsReset);
    port->send(shortMessage(kStatusNoteOn, 36, 100));
    port->close();
    g_log_set_default_handler(previous, nullptr);
}

// Sets an environment variable (or clears it, given nothing) for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// A Unix socket that a server listens on, as a sound server's would be.
class ListeningSocket {
public:
    explicit ListeningSocket(const std::string& path) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        listening_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd_, 4) == 0;
    }
    ~ListeningSocket() { ::close(fd_); }
    bool listening() const { return listening_; }

private:
    int fd_;
    bool listening_ = false;
};

std::vector<std::string> synthWarnings;

void recordSynthWarning(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg && context.category == std::string_view("padscope.synth"))
        synthWarnings.push_back(text.toStdString());
}

// No JACK server, no sound server, no sound card, no ALSA configuration of
// the user's: the synth is not offered, as no sound could come out of it.
TEST(SynthPort, IsListedOnlyWhereSomeAudioOutputExists)
{
    if (!findSoundFonts(standardSoundFontSearch()))
        GTEST_SKIP() << kNoSoundFont;
    if (std::filesystem::exists("/dev/snd"))
        GTEST_SKIP() << "this machine has a sound card";
    QTemporaryDir home, runtime;
    ASSERT_TRUE(home.isValid() && runtime.isValid());
    const ScopedEnv homeEnv("HOME", home.path().toStdString());
    const ScopedEnv runtimeEnv("XDG_RUNTIME_DIR", runtime.path().toStdString());
    const ScopedEnv pulseEnv("PULSE_SERVER", std::nullopt);
    const ScopedEnv jackEnv("JACK_DEFAULT_SERVER", "padscope-none-" + std::to_string(::getpid()));
    EXPECT_EQ(makeBuiltInSynth(), nullptr);

    // A socket file that nobody listens on is no sound server.
    const std::string pulseDir = runtime.path().toStdString() + "/pulse";
    std::filesystem::create_directory(pulseDir);
    {
        ListeningSocket socket(pulseDir + "/native");
        ASSERT_TRUE(socket.listening());
        EXPECT_NE(makeBuiltInSynth(), nullptr) << "a PulseAudio socket is an audio output";
    }
    EXPECT_EQ(makeBuiltInSynth(), nullptr);
    {
        ListeningSocket socket(runtime.path().toStdString() + "/pipewire-0");
        ASSERT_TRUE(socket.listening());
        EXPECT_NE(makeBuiltInSynth(), nullptr) << "a PipeWire socket is an audio output";
    }

    // Listed, yet no output opens at the first note: the user hears of the
    // first output's trouble (not of the fallback's) once per opening, and
    // the log says it once.
    const ScopedEnv gonePulse("PULSE_SERVER", "unix:" + runtime.path().toStdString() + "/gone");
    FluidSynthOutput port(*findSoundFonts(standardSoundFontSearch()));
    std::vector<AudioFailure> failures;
    port.setAudioFailureHandler([&failures](const AudioFailure& failure) { failures.push_back(failure); });
    synthWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordSynthWarning);
    for (int opening = 0; opening < 2; ++opening) {
        ASSERT_TRUE(port.open(0));
        for (int i = 0; i < 2; ++i) {
            port.send(shortMessage(kStatusNoteOn, 36, 100));
            EXPECT_FALSE(port.waitForAudio());
        }
    }
    qInstallMessageHandler(previous);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].output, AudioOutputKind::PulseAudio);
    EXPECT_EQ(failures[0].fault, AudioFault::ServerUnreachable);
    ASSERT_EQ(synthWarnings.size(), 2u);
    const std::string prefix = "The built-in synth cannot play: pulseaudio: ";
    EXPECT_EQ(synthWarnings[0].substr(0, prefix.size()), prefix) << synthWarnings[0];
    EXPECT_GT(synthWarnings[0].size(), prefix.size() + 10) << synthWarnings[0];
    // Still open: the next note tries again.
    port.send(shortMessage(kStatusNoteOn, 36, 100));
    EXPECT_FALSE(port.waitForAudio());
    EXPECT_FALSE(port.openFailedLate());
}

// A SoundFont replaced while the program runs (an upgrade, say) is read
// again at the next opening, not served from what the last one read.
TEST(SynthPort, SoundFontReplacedWhileRunningIsReadAgainAtTheNextOpening)
{
    const auto fonts = findSoundFonts(standardSoundFontSearch());
    if (!fonts || fonts->overlays.empty())
        GTEST_SKIP() << kNoSoundFont;
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::filesystem::path font = folder.filePath(QStringLiteral("font.sf2")).toStdString();
    const auto installAs = [&font](const std::filesystem::path& file) {
        const std::filesystem::path next = font.string() + ".new";
        std::filesystem::create_symlink(std::filesystem::canonical(file), next);
        std::filesystem::rename(next, font);
    };
    installAs(fonts->overlays.front());
    FluidSynthOutput synth(SoundFontSet{font, {}}, {SynthAudio::Offline, true});
    ASSERT_TRUE(synth.open(0));
    ASSERT_TRUE(synth.waitUntilLoaded());
    synth.close();

    installAs(fonts->base);
    LogCapture log;
    ASSERT_TRUE(synth.open(0));
    ASSERT_TRUE(synth.waitUntilLoaded()) << (log.lines().empty() ? "" : log.lines().front());
    for (const auto& word : pressMessages(defaultControllerValues(), 36, 0, 2))
        synth.send(word);
    std::vector<float> left(kRate / 4), right(left.size());
    ASSERT_TRUE(synth.render(left, right));
    EXPECT_GT(*std::max_element(left.begin(), left.end()), kAudibleRms);
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();
}

TEST(SynthPort, LookupNeedsAReadableSoundFont)
{
    TempFile text("not a SoundFont at all");
    TempFile truncated(std::string("RIFF\xe8\x03\0\0sfbk", 12));  // claims 1000 bytes
    TempFile base(soundFontHeaderOnly());
    TempFile overlay(soundFontHeaderOnly());
    const std::filesystem::path missing = "/nonexistent/padscope/FluidR3_GM.sf2";

    EXPECT_EQ(makeBuiltInSynth({}), nullptr);
    EXPECT_EQ(makeBuiltInSynth({{missing, text.path(), truncated.path()}, {overlay.path()}}), nullptr);
    // A folder is not a font either.
    EXPECT_EQ(makeBuiltInSynth({{std::filesystem::temp_directory_path()}, {}}), nullptr);

    auto set = findSoundFonts({{missing, text.path(), base.path(), overlay.path()}, {missing, overlay.path()}});
    ASSERT_TRUE(set.has_value());
    EXPECT_EQ(set->base, base.path());
    EXPECT_EQ(set->overlays, std::vector<std::filesystem::path>{overlay.path()});

    set = findSoundFonts({{base.path()}, {missing}});
    ASSERT_TRUE(set.has_value());
    EXPECT_TRUE(set->overlays.empty());
}

TEST(SynthPort, ChosenFontsAreAllUsableOrEachBadOneIsNamed)
{
    const std::string font = test::soundFontWith({{0, "Standard", {{35, 81, 0}}}}, 1);
    TempFile base(font);
    TempFile overlay(font);
    TempFile empty("");
    TempFile text("not a SoundFont at all");
    TempFile truncated(std::string("RIFF\xe8\x03\0\0sfbk", 12));
    TempFile unreadable(font);
    std::filesystem::permissions(unreadable.path(), std::filesystem::perms::none);
    const bool canReadAnyway = static_cast<bool>(std::ifstream(unreadable.path()));  // root

    std::vector<FailureReport> problems;
    const auto chosen = chosenSoundFonts({base.path(), overlay.path()}, problems);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->base, base.path());
    EXPECT_EQ(chosen->overlays, std::vector<std::filesystem::path>{overlay.path()});
    EXPECT_TRUE(problems.empty());

    const std::filesystem::path missing = "/nonexistent/padscope.sf2";
    EXPECT_FALSE(chosenSoundFonts({base.path(), missing, empty.path(), text.path(), truncated.path(),
                                   std::filesystem::temp_directory_path(), unreadable.path()},
                                  problems));
    std::vector<FailureReport> expected{
        {Failure::SoundFontMissing, "/nonexistent/padscope.sf2"},
        {Failure::SoundFontEmpty, empty.path().string()},
        {Failure::SoundFontNotASoundFont, text.path().string()},
        {Failure::SoundFontTruncated, truncated.path().string()},
        {Failure::SoundFontIsFolder, std::filesystem::temp_directory_path().string()},
    };
    if (!canReadAnyway)
        expected.push_back({Failure::SoundFontUnreadable, unreadable.path().string()});
    EXPECT_EQ(problems, expected);
}

TEST_F(OfflineSynth, EveryKitOfTheSoundFontSounds)
{
    const std::set<int> kits = kitPrograms();
    ASSERT_FALSE(kits.empty()) << "the SoundFont holds no drum kit";
    ASSERT_TRUE(kits.count(0)) << "the SoundFont has no standard kit";
    for (int program : kits) {
        SCOPED_TRACE("kit program " + std::to_string(program));
        // The GS SFX kit, like the modules' own, starts above note 36: such a
        // kit is played on its lowest note instead.
        int note = 36;
        if (!playsNote(program, note)) {
            ASSERT_NE(program, 0) << "the standard kit is silent on note 36";
            note = lowestNote(program);
            ASSERT_GE(note, 0) << "the kit plays no note at all";
        }
        press(note, program);
        EXPECT_EQ(playingKit(), program) << "the kit was substituted";
        EXPECT_GT(rms(render(kRate / 4)), kAudibleRms);
        synth_->send(releaseMessage(note));
        quieten();
    }
}

TEST_F(OfflineSynth, KitMissingFromTheSoundFontPlaysTheStandardKit)
{
    const std::set<int> kits = kitPrograms();
    int missing = 0;
    while (kits.count(missing))
        ++missing;
    ASSERT_LT(missing, 128);
    press(36, missing);
    EXPECT_EQ(playingKit(), 0);
    EXPECT_GT(rms(render(kRate / 4)), kAudibleRms);
}

// This process's threads of that name (Linux).
int threadsNamed(std::string_view name)
{
    int count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string line;
        if (std::getline(comm, line) && line == name)
            ++count;
    }
    return count;
}

// Bytes this thread has read from files and sockets so far (Linux).
std::optional<long long> bytesReadOnThisThread()
{
    std::ifstream io("/proc/thread-self/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value)
        if (key == "rchar:")
            return value;
    return std::nullopt;
}

// A new kit's samples come from the SoundFont file; the sender is the GUI
// thread, which must not wait for a disk.
TEST_F(OfflineSynth, NewKitIsReadOffTheSendersThreadAndPlaysInOrder)
{
    fluid();  // loaded
    const auto before = bytesReadOnThisThread();
    if (!before)
        GTEST_SKIP() << "this system counts no reads per thread";
    press(36, 25);
    synth_->send(releaseMessage(36));
    press(38, 25);
    EXPECT_EQ(playingKit(), 25);
    EXPECT_GT(rms(render(kRate / 4)), kAudibleRms);
    EXPECT_LT(*bytesReadOnThisThread() - *before, 64 * 1024);
}

// Each kit's presets take memory even while no channel plays them.
TEST_F(OfflineSynth, HoldsOnlyTheStandardKitAndTheOneLastChosen)
{
    EXPECT_EQ(heldKits(), std::set<int>{0});
    for (int kit : {25, 48, 0, 56}) {
        press(38, kit);
        EXPECT_GT(rms(render(kRate / 8)), kAudibleRms) << "kit " << kit;
        synth_->send(releaseMessage(38));
    }
    quieten();
    synth_->send(kGsReset);
    render(kBlock);
    EXPECT_EQ(heldKits(), (std::set<int>{0, 56}));
    press(36, 0);
    EXPECT_EQ(playingKit(), 0);
    EXPECT_GT(rms(render(kRate / 8)), kAudibleRms);
}

// FluidSynth frees a font whose samples a voice still plays from a timer
// thread of its own, without the synth's lock, while the synth may read it:
// the last kit's fonts go only once nothing sounds.
TEST_F(OfflineSynth, LastKitIsLetGoOnlyOnceNothingSounds)
{
    press(49, 25);  // held: the cymbal sounds on
    render(kRate / 10);
    const int fonts = fluid_synth_sfcount(fluid());
    press(36, 48);
    render(kRate / 10);
    EXPECT_EQ(playingKit(), 48);
    EXPECT_EQ(threadsNamed("timer"), 0) << "a font was left to FluidSynth's timer";
    EXPECT_EQ(heldKits(), (std::set<int>{0, 25, 48}));
    quieten();
    ASSERT_TRUE(waitUntil([&] { return fluid_synth_sfcount(fluid()) == fonts; }, std::chrono::seconds(5)));
    EXPECT_EQ(heldKits(), (std::set<int>{0, 48}));
    EXPECT_EQ(threadsNamed("timer"), 0);
}

// A map change makes the next press send the same Program Change again,
// after its Bank Select: the kit is already there and is not loaded again.
TEST_F(OfflineSynth, SameKitInAnotherMapLoadsNothingAgain)
{
    const auto fontIds = [&] {
        std::vector<int> ids;
        for (int i = 0; i < fluid_synth_sfcount(fluid()); ++i)
            ids.push_back(fluid_sfont_get_id(fluid_synth_get_sfont(fluid(), static_cast<unsigned>(i))));
        return ids;
    };
    press(36, 25);
    synth_->send(releaseMessage(36));
    const std::vector<int> loaded = fontIds();
    for (int map : {3, 4, 0}) {
        for (const auto& word : pressMessages(defaultControllerValues(), 38, 25, map))
            synth_->send(word);
        synth_->send(releaseMessage(38));
        EXPECT_EQ(fontIds(), loaded) << "map " << map;
    }
    EXPECT_EQ(playingKit(), 25);
    EXPECT_GT(rms(render(kRate / 8)), kAudibleRms);
}

// All Sound Off is never taken for a controller already at its value.
TEST_F(OfflineSynth, EveryAllSoundOffSilencesTheSynth)
{
    for (int round = 1; round <= 2; ++round) {
        synth_->send(shortMessage(kStatusNoteOn, 36, 100));
        render(kBlock);
        ASSERT_GT(fluid_synth_get_active_voice_count(fluid()), 0) << "round " << round;
        synth_->send(shortMessage(kStatusControlChange, 120, 0));
        render(kBlock);
        EXPECT_EQ(fluid_synth_get_active_voice_count(fluid()), 0) << "All Sound Off number " << round;
    }
}

// A press as the window sends it for a note with edits: their NRPN and the
// null after message 18. Renders a quarter second of the note alone.
void startEdited(FluidSynthOutput& synth, int note, const NoteEdit& edit)
{
    const PressMessages press = pressMessages(defaultControllerValues(), note, 0, 2);
    for (std::size_t i = 0; i < kMessagesBeforeStatus; ++i)
        synth.send(press[i]);
    for (const MidiMessage& m : drumSoundMessages(edit, note, 2))
        synth.send(m);
    for (std::size_t i = kMessagesBeforeStatus; i < press.size(); ++i)
        synth.send(press[i]);
}

std::vector<float> pressEdited(FluidSynthOutput& synth, int note, const NoteEdit& edit)
{
    startEdited(synth, note, edit);
    std::vector<float> left(static_cast<std::size_t>(kRate / 4)), right(left.size());
    EXPECT_TRUE(synth.render(left, right));
    synth.send(releaseMessage(note));
    synth.send(shortMessage(kStatusControlChange, 120, 0));  // all sound off
    std::vector<float> rest(static_cast<std::size_t>(kBlock) * 4), restRight(rest.size());
    synth.render(rest, restRight);
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

TEST_F(OfflineSynth, DrumSoundEditsTunePanAndAreGoneAfterTheNextProgramChange)
{
    // Zero crossings of the left channel, which halve an octave down.
    const auto crossings = [](const std::vector<float>& both) {
        std::size_t n = 0;
        for (std::size_t i = 1; i < both.size() / 2; ++i)
            n += (both[i - 1] < 0) != (both[i] < 0);
        return static_cast<double>(n);
    };
    const auto energy = [](const std::vector<float>& both, bool right) {
        double sum = 0;
        const std::size_t half = both.size() / 2;
        for (std::size_t i = right ? half : 0; i < (right ? both.size() : half); ++i)
            sum += double(both[i]) * both[i];
        return sum;
    };
    constexpr int kTriangle = 81;  // open triangle: a plain pitch
    constexpr int kSnare = 38;
    const NoteEdit none;
    NoteEdit down;
    down.values[parameterIndex(DrumParameter::Pitch)] = 0x40 - 12;
    NoteEdit left;
    left.values[parameterIndex(DrumParameter::Pan)] = 1;

    const double plain = crossings(pressEdited(*synth_, kTriangle, none));
    const double lower = crossings(pressEdited(*synth_, kTriangle, down));
    ASSERT_GT(plain, 100);
    std::printf("pitch -12: zero crossings %.0f -> %.0f, ratio %.3f\n", plain, lower, lower / plain);
    EXPECT_NEAR(lower / plain, 0.5, 0.1);

    const auto centre = pressEdited(*synth_, kSnare, none);
    const auto panned = pressEdited(*synth_, kSnare, left);
    const double centreRatio = energy(centre, false) / energy(centre, true);
    const double leftRatio = energy(panned, false) / energy(panned, true);
    std::printf("pan 1 (L63): left/right energy %.2f, without the edit %.2f\n", leftRatio, centreRatio);
    EXPECT_GT(leftRatio, 4 * centreRatio);
    // A GS Reset clears the synth's channel settings; the edit holds after it.
    synth_->send(kGsReset);
    const auto again = pressEdited(*synth_, kSnare, left);
    EXPECT_GT(energy(again, false) / energy(again, true), 4 * centreRatio);

    // The press's Program Change put the kit back: the triangle is itself again.
    EXPECT_NEAR(crossings(pressEdited(*synth_, kTriangle, none)) / plain, 1.0, 0.05);
}

// A note pressed while another still rings, with edits of its own, leaves
// the ringing one where its edits put it.
TEST_F(OfflineSynth, DrumSoundEditsOfANoteLeaveTheVoicesStillRingingAlone)
{
    NoteEdit left;
    left.values[parameterIndex(DrumParameter::Pan)] = 1;
    NoteEdit right;
    right.values[parameterIndex(DrumParameter::Pan)] = 127;
    right.values[parameterIndex(DrumParameter::Pitch)] = 0x40 + 5;
    // The left channel's energy over 100 ms, after 20 ms of the snare alone.
    const auto leftEnergy = [this, &left](const NoteEdit* second) {
        startEdited(*synth_, 38, left);
        render(kRate / 50);
        if (second)
            startEdited(*synth_, 81, *second);
        const std::vector<float> both = render(kRate / 10);
        synth_->send(shortMessage(kStatusControlChange, 120, 0));
        render(kBlock * 4);
        double sum = 0;
        for (std::size_t i = 0; i < both.size() / 2; ++i)
            sum += double(both[i]) * both[i];
        return sum;
    };
    const double alone = leftEnergy(nullptr);
    ASSERT_GT(alone, 0);
    const double overlapped = leftEnergy(&right);
    std::printf("left energy of a snare panned left: %.4f alone, %.4f with a note panned right\n", alone, overlapped);
    EXPECT_GT(overlapped, 0.8 * alone);
}

TEST_F(OfflineSynth, PressSetsEveryControllerItCarries)
{
    ControllerValues c = defaultControllerValues();
    c[kVelocity] = 90;
    c[kReverb] = 11;
    c[kChorus] = 12;
    c[kDelay] = 13;
    c[kPitchBend] = -1000;
    c[kBendRange] = 12;
    c[kModulation] = 5;
    c[kCutoff] = -3;
    c[kResonance] = 4;
    c[kAttack] = -5;
    c[kDecay] = 6;
    c[kRelease] = -7;
    c[kVibratoRate] = 8;
    c[kVibratoDepth] = -9;
    c[kVibratoDelay] = 10;

    LogCapture log;
    press(38, 0, c);
    render(kBlock);
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();

    EXPECT_EQ(controller(91), 11);
    EXPECT_EQ(controller(93), 12);
    EXPECT_EQ(controller(94), 13);
    EXPECT_EQ(controller(1), 5);
    EXPECT_EQ(controller(74), 64 - 3);
    EXPECT_EQ(controller(71), 64 + 4);
    EXPECT_EQ(controller(73), 64 - 5);
    EXPECT_EQ(controller(75), 64 + 6);
    EXPECT_EQ(controller(72), 64 - 7);
    EXPECT_EQ(controller(76), 64 + 8);
    EXPECT_EQ(controller(77), 64 - 9);
    EXPECT_EQ(controller(78), 64 + 10);
    EXPECT_EQ(pitchBend(), 8192 - 1000);
    int range = -1;
    ASSERT_EQ(fluid_synth_get_pitch_wheel_sens(fluid(), kRhythmChannel, &range), FLUID_OK);
    EXPECT_EQ(range, 12);
    EXPECT_GT(heldVoices(), 0);
}

TEST_F(OfflineSynth, GsResetRestoresTheDefaults)
{
    synth_->send(shortMessage(kStatusControlChange, 7, 30));   // volume
    synth_->send(shortMessage(kStatusControlChange, 10, 0));   // pan
    synth_->send(shortMessage(kStatusPitchBend, 0, 0x10));
    ASSERT_EQ(controller(7), 30);
    ASSERT_EQ(pitchBend(), 0x10 << 7);

    // The same message for another device id is not for this synth.
    std::array<std::uint8_t, 11> otherDevice = kGsReset;
    otherDevice[2] = 0x11;
    synth_->send(otherDevice);
    EXPECT_EQ(controller(7), 30);

    synth_->send(kGsReset);
    EXPECT_EQ(controller(7), 100);
    EXPECT_EQ(controller(10), 64);
    EXPECT_EQ(pitchBend(), 8192);
}

TEST_F(OfflineSynth, VelocityZeroReleasesTheHeldNote)
{
    press(36, 0);
    render(kBlock);
    ASSERT_GT(heldVoices(), 0);
    synth_->send(releaseMessage(36));
    render(kBlock);
    EXPECT_EQ(heldVoices(), 0);
}

TEST_F(OfflineSynth, NoteSoundsWithinOneBlock)
{
    render(kRate / 10);
    ASSERT_LT(peak(render(kBlock)), kSilence) << "the synth is not silent before the press";
    press(36, 0);
    EXPECT_GT(peak(render(kBlock)), kSilence);
}

TEST_F(OfflineSynth, AllSoundOffStopsEveryVoiceAtOnce)
{
    press(36, 0);
    press(42, 0);
    render(kBlock);
    ASSERT_GT(fluid_synth_get_active_voice_count(fluid()), 0);
    soundsOff();
    render(kBlock);
    EXPECT_EQ(fluid_synth_get_active_voice_count(fluid()), 0);
}

TEST_F(OfflineSynth, CloseReleasesTheSynthAndReopenPlaysAgain)
{
    synth_->close();
    EXPECT_EQ(synth_->synth(), nullptr);
    press(36, 0);  // dropped
    ASSERT_TRUE(synth_->open(0));
    synth_->send(kGsReset);
    EXPECT_EQ(fluid_synth_get_active_voice_count(fluid()), 0);
    press(36, 0);
    EXPECT_GT(rms(render(kRate / 4)), kAudibleRms);
}

// What FluidSynth holds is changed behind the port's back, so that a message
// the port passes on shows, and one it drops does not.
TEST_F(OfflineSynth, DropsOnlyMessagesThatChangeNothing)
{
    synth_->send(shortMessage(kStatusControlChange, 91, 30));
    synth_->send(shortMessage(kStatusPitchBend, 0, 0x30));
    synth_->send(programChangeMessage(25));
    fluid_synth_t* f = fluid();  // once all three are played
    fluid_synth_cc(f, kRhythmChannel, 91, 50);
    fluid_synth_pitch_bend(f, kRhythmChannel, 100);
    fluid_synth_program_change(f, kRhythmChannel, 0);

    // The same values again are dropped.
    synth_->send(shortMessage(kStatusControlChange, 91, 30));
    synth_->send(shortMessage(kStatusPitchBend, 0, 0x30));
    synth_->send(programChangeMessage(25));
    EXPECT_EQ(controller(91), 50);
    EXPECT_EQ(pitchBend(), 100);
    EXPECT_EQ(playingKit(), 0);

    // New values pass, and so does the same program after a bank select and
    // the same controller on another channel.
    synth_->send(shortMessage(kStatusControlChange, 91, 31));
    synth_->send(shortMessage(kStatusPitchBend, 1, 0x30));
    synth_->send(shortMessage(kStatusControlChange, 32, 3));
    synth_->send(programChangeMessage(25));
    EXPECT_EQ(controller(91), 31);
    EXPECT_EQ(pitchBend(), 1 | 0x30 << 7);
    EXPECT_EQ(playingKit(), 25);
    synth_->send(shortMessage(0xB0, 91, 30));
    int other = -1;
    fluid_synth_get_cc(f, 0, 91, &other);
    EXPECT_EQ(other, 30);

    // The pitch-bend range: set once, dropped when set again unchanged,
    // never set through the null parameter the press selects last.
    const auto bendRange = [&](int value, int then) {
        for (int cc : {101, 100})
            synth_->send(shortMessage(kStatusControlChange, cc, 0));
        synth_->send(shortMessage(kStatusControlChange, 6, value));
        for (int cc : {101, 100})
            synth_->send(shortMessage(kStatusControlChange, cc, 127));
        synth_->send(shortMessage(kStatusControlChange, 6, then));
        int sens = -1;
        fluid_synth_get_pitch_wheel_sens(f, kRhythmChannel, &sens);
        return sens;
    };
    EXPECT_EQ(bendRange(12, 5), 12);
    fluid_synth_pitch_wheel_sens(f, kRhythmChannel, 2);
    EXPECT_EQ(bendRange(12, 5), 2);
    EXPECT_EQ(bendRange(7, 5), 7);

    // After a GS Reset nothing is taken for granted, and a second press
    // still plays with every value the panel shows.
    synth_->send(kGsReset);
    synth_->send(shortMessage(kStatusControlChange, 7, 100));
    fluid_synth_cc(f, kRhythmChannel, 91, 1);
    synth_->send(shortMessage(kStatusControlChange, 91, 31));
    EXPECT_EQ(controller(91), 31);
    ControllerValues c = defaultControllerValues();
    c[kCutoff] = -10;
    press(36, 0, c);
    synth_->send(releaseMessage(36));
    press(36, 0, c);
    EXPECT_EQ(controller(74), 64 - 10);
    EXPECT_GT(heldVoices(), 0);
}

TEST_F(OfflineSynth, OnlyTheRhythmChannelHasInstruments)
{
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "after the open" : "after a second GS Reset");
        for (int channel = 0; channel < 16; ++channel) {
            if (channel == kRhythmChannel)
                continue;
            fluid_synth_noteon(fluid(), channel, 60, 100);
            fluid_synth_program_change(fluid(), channel, 0);
            fluid_synth_noteon(fluid(), channel, 64, 100);
        }
        EXPECT_EQ(fluid_synth_get_active_voice_count(fluid()), 0) << "a melodic channel plays";
        press(36, 0);
        EXPECT_GT(rms(render(kRate / 10)), kAudibleRms);
        quieten();
        synth_->send(kGsReset);
    }
}

// Closed and destroyed while the SoundFonts or a new kit load and while a
// closed port is torn down: nothing is lost or left running (the sanitizer
// build checks).
TEST(SynthPort, ClosesPromptlyWhileLoadingOrTearingDown)
{
    auto fonts = findSoundFonts(standardSoundFontSearch());
    if (!fonts)
        GTEST_SKIP() << kNoSoundFont;
    for (int round = 0; round < 3; ++round) {
        FluidSynthOutput synth(*fonts, {SynthAudio::Offline, true});
        ASSERT_TRUE(synth.open(0));
        synth.send(kGsReset);
        synth.send(shortMessage(kStatusNoteOn, 36, 100));
        ASSERT_TRUE(synth.open(0));  // closes the first while it may still load
        if (round == 1)
            synth.close();
    }
    for (int round = 0; round < 2; ++round) {
        FluidSynthOutput synth(*fonts, {SynthAudio::Offline, true});
        ASSERT_TRUE(synth.open(0));
        synth.waitUntilLoaded();
        for (int kit : {25, 48, 40})
            synth.send(programChangeMessage(kit));
        synth.send(shortMessage(kStatusNoteOn, 38, 100));
        if (round == 0)
            synth.close();  // the kits may still be loading; round 1 destroys instead
    }
    FluidSynthOutput synth(*fonts, {SynthAudio::Offline, true});
    ASSERT_TRUE(synth.open(0));
    synth.send(shortMessage(kStatusNoteOn, 36, 100));
    std::vector<float> left(kRate / 10), right(left.size());
    ASSERT_TRUE(synth.render(left, right));
    EXPECT_GT(*std::max_element(left.begin(), left.end()), kSilence) << "the note sent while loading is lost";
}

namespace {

// The drum fonts Debian installs, by their own names rather than the
// alternatives' links.
std::filesystem::path installedFont(const std::string& name)
{
    return std::filesystem::path("/usr/share/sounds/sf2") / name;
}

}  // namespace

TEST_F(OfflineSynth, ChosenSoundFontPlaysNowAndAtTheNextOpening)
{
    const std::filesystem::path gm = installedFont("FluidR3_GM.sf2");
    if (!std::filesystem::exists(gm))
        GTEST_SKIP() << kNoSoundFont;
    press(36, 25);
    EXPECT_EQ(playingFont(), "default-GM.sf2");
    EXPECT_EQ(playFonts({gm}), std::nullopt);
    // The kit chosen before plays on, from the new font.
    EXPECT_EQ(playingKit(), 25);
    EXPECT_EQ(playingFont(), "FluidR3_GM.sf2");
    press(36, 25);
    EXPECT_GT(rms(render(kRate / 4)), kAudibleRms);

    // A font without the kit leaves none of the old ones playing it.
    press(36, 0);
    EXPECT_EQ(playFonts({installedFont("FluidR3_GS.sf2")}), std::nullopt);
    EXPECT_EQ(playingFont(), "");
    EXPECT_EQ(playFonts({gm}), std::nullopt);

    synth_->close();
    ASSERT_TRUE(synth_->open(0));
    press(36, 0);
    EXPECT_EQ(playingFont(), "FluidR3_GM.sf2");
    EXPECT_EQ(synth_->chosenSoundFonts(), std::vector<std::filesystem::path>{gm});
}

TEST_F(OfflineSynth, BadSoundFontIsNamedAndTheOldOnePlaysOn)
{
    const std::filesystem::path gs = installedFont("FluidR3_GS.sf2");
    if (!std::filesystem::exists(gs))
        GTEST_SKIP() << kNoSoundFont;
    std::string cutShort(100000, '\0');
    std::ifstream(gs, std::ios::binary).read(cutShort.data(), static_cast<std::streamsize>(cutShort.size()));
    const TempFile empty(""), text("[gen]\r\nbank=4\r\n"), truncated(cutShort), headerOnly(soundFontHeaderOnly());
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::filesystem::path missing = folder.filePath(QStringLiteral("gone.sf2")).toStdString();
    const std::filesystem::path directory = folder.path().toStdString();
    // Neither is ever opened for reading: a FIFO would hold the synth's worker.
    const std::filesystem::path fifo = folder.filePath(QStringLiteral("pipe.sf2")).toStdString();
    const std::filesystem::path device = folder.filePath(QStringLiteral("device.sf2")).toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", device);

    const std::vector<std::pair<std::filesystem::path, Failure>> cases{
        {missing, Failure::SoundFontMissing},       {directory, Failure::SoundFontIsFolder},
        {fifo, Failure::SoundFontNotAFile},         {device, Failure::SoundFontNotAFile},
        {empty.path(), Failure::SoundFontEmpty},    {truncated.path(), Failure::SoundFontTruncated},
        {text.path(), Failure::SoundFontNotASoundFont}, {headerOnly.path(), Failure::SoundFontNotASoundFont},
    };
    // libinstpatch, to which FluidSynth hands what it cannot read, asserts
    // on GLib's default log handler.
    const GLogFunc previous =
        g_log_set_default_handler([](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    press(36, 0);
    const std::string before = playingFont();
    const int fonts = fluid_synth_sfcount(fluid());
    for (const auto& [path, failure] : cases) {
        SCOPED_TRACE(path.string());
        const std::optional<FailureReport> told = playFonts({path});
        ASSERT_TRUE(told);
        EXPECT_EQ(told->failure, failure);
        EXPECT_EQ(told->subject, path.string());
        // A good font under a bad one is not taken either.
        EXPECT_EQ(playFonts({gs, path})->subject, path.string());
        quieten();
        press(36, 0);
        EXPECT_EQ(playingFont(), before);
        EXPECT_GT(rms(render(kRate / 4)), kAudibleRms);
        EXPECT_EQ(fluid_synth_sfcount(fluid()), fonts);
    }
    EXPECT_TRUE(synth_->chosenSoundFonts().empty());
    g_log_set_default_handler(previous, nullptr);
}

// Root reads any file: the unreadable one is tried as another user.
TEST_F(OfflineSynth, UnreadableSoundFontIsNamedAndTheOldOnePlaysOn)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const TempFile locked(soundFontHeaderOnly());
    std::filesystem::permissions(locked.path(), std::filesystem::perms::none);
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && ::setuid(65534) != 0)
                std::_Exit(2);
            press(36, 0);
            const std::string before = playingFont();
            const std::optional<FailureReport> told = playFonts({locked.path()});
            press(36, 0);
            const bool named = told && told->failure == Failure::SoundFontUnreadable && told->subject == locked.path();
            std::_Exit(named && playingFont() == before && !before.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// A synth whose fonts would not play has nothing to keep: it opens again
// with the fonts asked for, and says so when those fail too.
TEST(SynthPort, SynthThatCouldNotPlayTakesTheNextFont)
{
    const std::filesystem::path gm = installedFont("FluidR3_GM.sf2");
    if (!std::filesystem::exists(gm))
        GTEST_SKIP() << kNoSoundFont;
    const GLogFunc previous =
        g_log_set_default_handler([](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    const TempFile broken(soundFontHeaderOnly()), empty("");
    FluidSynthOutput synth(SoundFontSet{broken.path(), {}}, {SynthAudio::Offline, true});
    ASSERT_TRUE(synth.open(0));
    ASSERT_FALSE(synth.waitUntilLoaded());
    const std::optional<FailureReport> failed = askForFonts(synth, {empty.path()});
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->failure, Failure::SoundFontEmpty);
    EXPECT_EQ(failed->subject, empty.path().string());
    // A FIFO is not handed to FluidSynth, which would wait on it for good.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::filesystem::path fifo = folder.filePath(QStringLiteral("pipe.sf2")).toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::optional<FailureReport> pipe = askForFonts(synth, {fifo});
    ASSERT_TRUE(pipe);
    EXPECT_EQ(pipe->failure, Failure::SoundFontNotAFile);

    EXPECT_EQ(askForFonts(synth, {gm}), std::nullopt);
    ASSERT_TRUE(synth.waitUntilLoaded());
    EXPECT_FALSE(synth.openFailedLate());
    for (const MidiMessage& message : pressMessages(defaultControllerValues(), 36, 0, 2))
        synth.send(message);
    std::vector<float> left(kRate / 4), right(left.size());
    ASSERT_TRUE(synth.render(left, right));
    EXPECT_GT(*std::max_element(left.begin(), left.end()), kAudibleRms);
    g_log_set_default_handler(previous, nullptr);
}

// Each edit loads the kit anew; the fonts of notes that have ended go while
// a long cymbal of an earlier font still rings.
TEST_F(OfflineSynth, FontsOfEndedNotesGoWhileAnOlderNoteRings)
{
    startEdited(*synth_, 49, NoteEdit{});
    render(kRate / 10);
    const int fonts = fluid_synth_sfcount(fluid());
    for (int step = 1; step <= 6; ++step) {
        NoteEdit edit;
        edit.values[parameterIndex(DrumParameter::Pitch)] = static_cast<std::uint8_t>(0x40 - step);
        startEdited(*synth_, 38, edit);
        synth_->send(releaseMessage(38));
        render(kRate / 4);
    }
    std::array<fluid_voice_t*, 64> voices{};
    fluid_synth_get_voicelist(fluid(), voices.data(), voices.size(), -1);
    ASSERT_TRUE(std::any_of(voices.begin(), voices.end(), [](fluid_voice_t* v) {
        return v && fluid_voice_get_key(v) == 49;
    })) << "the cymbal has ended";
    synth_->send(shortMessage(kStatusControlChange, 7, 90));  // has the worker try them again
    render(kBlock);
    // The kit playing now, and the last snares, which may still ring; not
    // one font for each edit.
    EXPECT_LE(fluid_synth_sfcount(fluid()), fonts + 3);
}
