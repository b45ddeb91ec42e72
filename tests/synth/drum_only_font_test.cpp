#include "core/synth/fluid/drum_only_font.h"
#include "tests/synth/offline_fluid_synth.h"
#include "core/synth/sound_fonts.h"
#include "tests/support/sound_font_builder.h"
#include "tests/support/temp_file.h"

#include <gtest/gtest.h>

#include <fluidsynth.h>

#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace padscope;

namespace {

using Synth = test::OfflineFluidSynth;

// A preset part of the shape SoundFont 2 gives it: sub-chunks of records.
class PresetData {
public:
    void chunk(const char* id, const std::vector<std::uint8_t>& bytes)
    {
        data_.insert(data_.end(), id, id + 4);
        const auto size = static_cast<std::uint32_t>(bytes.size());
        for (int i = 0; i < 4; ++i)
            data_.push_back((size >> (8 * i)) & 0xFF);
        data_.insert(data_.end(), bytes.begin(), bytes.end());
    }
    const std::vector<std::uint8_t>& bytes() const { return data_; }

private:
    std::vector<std::uint8_t> data_;
};

// One kit (bank 128, program 0) of one instrument whose one zone plays
// sample `sample` of one: a left-hand sample whose partner is `partner`.
std::vector<std::uint8_t> oneKit(std::uint8_t sample, std::uint8_t partner)
{
    PresetData data;
    std::vector<std::uint8_t> presets(2 * 38, 0);
    presets[22] = 128;
    presets[38 + 24] = 1;  // the terminal record's first bag
    data.chunk("phdr", presets);
    data.chunk("pbag", {0, 0, 0, 0, 1, 0, 0, 0});
    data.chunk("pmod", std::vector<std::uint8_t>(10, 0));
    data.chunk("pgen", {41, 0, 0, 0, 0, 0, 0, 0});  // instrument 0
    std::vector<std::uint8_t> instruments(2 * 22, 0);
    instruments[22 + 20] = 1;
    data.chunk("inst", instruments);
    data.chunk("ibag", {0, 0, 0, 0, 1, 0, 0, 0});
    data.chunk("imod", std::vector<std::uint8_t>(10, 0));
    data.chunk("igen", {53, 0, sample, 0, 0, 0, 0, 0});
    std::vector<std::uint8_t> samples(2 * 46, 0);
    samples[42] = partner;
    samples[44] = 4;  // left
    data.chunk("shdr", samples);
    return data.bytes();
}

}  // namespace

TEST(DrumOnlyFont, EveryKitSoundsAsFromTheWholeFontAndNoMelodicPresetIsLeft)
{
    const auto fonts = findSoundFonts(standardSoundFontSearch());
    if (!fonts)
        GTEST_SKIP() << "no General MIDI SoundFont installed (Debian: apt install fluid-soundfont-gm)";
    Synth whole(false), drums(true);
    ASSERT_NE(fluid_synth_sfload(whole.synth.get(), fonts->base.string().c_str(), 0), FLUID_FAILED);
    const int id = fluid_synth_sfload(drums.synth.get(), drumKitsOf(fonts->base.string()).c_str(), 0);
    ASSERT_NE(id, FLUID_FAILED) << "the drum kits could not be read";

    fluid_sfont_t* font = fluid_synth_get_sfont_by_id(drums.synth.get(), id);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(fluid_sfont_get_preset(font, 0, 0), nullptr) << "a melodic preset was kept";
    int kits = 0;
    for (int program = 0; program < 128; ++program) {
        if (!fluid_sfont_get_preset(font, 128, program))
            continue;
        ++kits;
        whole.selectKit(program);
        drums.selectKit(program);
        for (int note : {27, 36, 38, 46, 49, 60, 81, 87}) {
            const std::vector<float> expected = whole.play(note);
            ASSERT_EQ(drums.play(note), expected) << "kit " << program << ", note " << note;
        }
    }
    EXPECT_GE(kits, 9) << "the General MIDI font's kits: Standard, Room, Power, Electronic, TR-808, Jazz, Brush, "
                          "Orchestra, SFX";
}

TEST(DrumOnlyFont, MalformedPresetDataIsRefusedWithoutACrash)
{
    // A sample, or its stereo partner, that is not there.
    EXPECT_TRUE(drumOnlyPresetData(oneKit(0, 0)));
    EXPECT_FALSE(drumOnlyPresetData(oneKit(1, 0)));
    EXPECT_FALSE(drumOnlyPresetData(oneKit(0, 1)));
    EXPECT_FALSE(drumOnlyPresetData(oneKit(0xFF, 0)));

    EXPECT_FALSE(drumOnlyPresetData({}));
    // A chunk that claims more than there is.
    const std::vector<std::uint8_t> overlong{'p', 'h', 'd', 'r', 0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3};
    EXPECT_FALSE(drumOnlyPresetData(overlong));
    // Every list present, with indices that point past their lists.
    std::vector<std::uint8_t> data;
    const auto chunk = [&data](const char* id, std::vector<std::uint8_t> bytes) {
        data.insert(data.end(), id, id + 4);
        const auto size = static_cast<std::uint32_t>(bytes.size());
        for (int i = 0; i < 4; ++i)
            data.push_back((size >> (8 * i)) & 0xFF);
        data.insert(data.end(), bytes.begin(), bytes.end());
    };
    std::vector<std::uint8_t> presets(2 * 38, 0);
    presets[22] = 128;                       // a drum kit
    presets[38 + 24] = 200;                  // whose zones end far past the bags
    chunk("phdr", presets);
    chunk("pbag", std::vector<std::uint8_t>(8, 0));
    chunk("pmod", std::vector<std::uint8_t>(10, 0));
    chunk("pgen", std::vector<std::uint8_t>(4, 0));
    chunk("inst", std::vector<std::uint8_t>(22, 0));
    chunk("ibag", std::vector<std::uint8_t>(4, 0));
    chunk("imod", std::vector<std::uint8_t>(10, 0));
    chunk("igen", std::vector<std::uint8_t>(4, 0));
    chunk("shdr", std::vector<std::uint8_t>(46, 0));
    EXPECT_FALSE(drumOnlyPresetData(data));
    // Random damage never reads out of bounds (the sanitizer build checks).
    std::mt19937 random(7);
    const std::vector<std::uint8_t> whole = oneKit(0, 0);
    for (int round = 0; round < 4000; ++round) {
        std::vector<std::uint8_t> damaged = round % 2 ? data : whole;
        damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        (void)drumOnlyPresetData(damaged);
    }
}

// Bounds the sanitizer cannot see, as they lie inside the preset part.
TEST(DrumOnlyFont, ZonesAreReadOnlyWithinTheirLists)
{
    // A zone on the terminal sample plays nothing.
    ASSERT_TRUE(drumPresets(oneKit(0, 0)));
    EXPECT_TRUE(drumPresets(oneKit(0, 0))->front().keys.all());
    ASSERT_TRUE(drumPresets(oneKit(1, 0)));
    EXPECT_TRUE(drumPresets(oneKit(1, 0))->front().keys.none());

    // A bag list without its terminal bag, followed by a chunk whose header
    // would read as one: the zone has no end.
    PresetData data;
    std::vector<std::uint8_t> presets(2 * 38, 0);
    presets[22] = 128;
    presets[38 + 24] = 1;
    data.chunk("phdr", presets);
    data.chunk("pbag", {0, 0, 0, 0});
    data.chunk(std::string(4, '\0').c_str(), {});
    data.chunk("pmod", std::vector<std::uint8_t>(10, 0));
    data.chunk("pgen", {0, 0, 0, 0});
    data.chunk("inst", std::vector<std::uint8_t>(22, 0));
    data.chunk("ibag", {0, 0, 0, 0});
    data.chunk("imod", std::vector<std::uint8_t>(10, 0));
    data.chunk("igen", {0, 0, 0, 0});
    data.chunk("shdr", std::vector<std::uint8_t>(46, 0));
    EXPECT_FALSE(drumPresets(data.bytes()));
    EXPECT_FALSE(drumOnlyPresetData(data.bytes()));
}

// A drum sound edit is written into the zones of its key alone: pitch moves
// the preset's own coarse tune, pan replaces the preset's own place.
TEST(DrumOnlyFont, EditedKeyGetsZonesOfItsOwnShapedFromThePresetsGenerators)
{
    const std::uint16_t left100 = static_cast<std::uint16_t>(-100);
    const test::TempFile file(test::soundFontWith({{0, "Standard", {{35, 81, 0}}, {{51, 2}, {17, left100}}}}, 1));
    DrumSounds sounds{};
    sounds[38].values[parameterIndex(DrumParameter::Pitch)] = 0x40 - 12;
    sounds[38].values[parameterIndex(DrumParameter::Pan)] = 1;
    sounds[38].values[parameterIndex(DrumParameter::Level)] = 64;
    sounds[40].values[parameterIndex(DrumParameter::Level)] = 0;
    Synth synth(true);
    const std::string name = drumKitsOf(file.path().string(), eachAsItIs(KitSet().set(0)), KitSet().set(0), sounds);
    ASSERT_NE(fluid_synth_sfload(synth.synth.get(), name.c_str(), 0), FLUID_FAILED) << name;
    synth.selectKit(0);
    // The generators of the voice a key starts: coarse tune, pan, attenuation.
    const auto voiceOf = [&synth](int key) {
        fluid_synth_all_sounds_off(synth.synth.get(), 9);
        fluid_synth_noteon(synth.synth.get(), 9, key, 100);
        std::array<fluid_voice_t*, 8> voices{};
        fluid_synth_get_voicelist(synth.synth.get(), voices.data(), voices.size(), -1);
        fluid_voice_t* voice = nullptr;
        for (fluid_voice_t* v : voices)
            if (v && fluid_voice_is_on(v) && fluid_voice_get_key(v) == key)
                voice = v;
        EXPECT_NE(voice, nullptr) << "key " << key;
        std::array<float, 3> gens{};
        if (voice)
            gens = {fluid_voice_gen_get(voice, GEN_COARSETUNE), fluid_voice_gen_get(voice, GEN_PAN),
                    fluid_voice_gen_get(voice, GEN_ATTENUATION)};
        fluid_synth_noteoff(synth.synth.get(), 9, key);
        return gens;
    };
    const auto edited = voiceOf(38);
    EXPECT_EQ(edited[0], -10);
    EXPECT_EQ(edited[1], -500);
    EXPECT_NEAR(edited[2], 60, 1) << "level 64 is 6 dB down";
    for (int key : {35, 37, 39, 81})
        EXPECT_EQ(voiceOf(key), (std::array<float, 3>{2, -100, 0})) << "key " << key;
    EXPECT_GE(voiceOf(40)[2], 1440) << "level 0 is 144 dB down";

    // A name whose edits cannot be read loads nothing.
    const std::string damaged = name.substr(0, name.find('/')) + "/38pitch200:" + file.path().string();
    EXPECT_EQ(fluid_synth_sfload(synth.synth.get(), damaged.c_str(), 0), FLUID_FAILED);
}

// The drum-only loader serves the file up to its preset part: a chunk after
// it would be lost, so such a file is loaded whole.
TEST(DrumOnlyFont, PresetPartThatIsNotTheLastChunkIsNotServed)
{
    std::string bytes = test::soundFontWith({{0, "Standard", {{35, 81, 0}}}}, 1);
    std::istringstream whole(bytes);
    ASSERT_TRUE(lastPresetPart(whole));
    bytes += std::string("LIST\4\0\0\0xtra", 12);
    const auto riffSize = static_cast<std::uint32_t>(bytes.size() - 8);
    for (int i = 0; i < 4; ++i)
        bytes[4 + static_cast<std::size_t>(i)] = static_cast<char>((riffSize >> (8 * i)) & 0xFF);
    std::istringstream longer(bytes);
    EXPECT_FALSE(lastPresetPart(longer));
}

TEST(DrumOnlyFont, PresetPartClaimingGigabytesIsRefusedWithoutAllocatingThem)
{
    // A sparse file of 3 GB: a SoundFont header and a preset part that
    // claims all the rest, which the file's size does back.
    constexpr std::uint32_t claimed = 3u << 30;
    std::string path = (std::filesystem::temp_directory_path() / "padscope-huge-XXXXXX.sf2").string();
    const int fd = ::mkstemps(path.data(), 4);
    ASSERT_GE(fd, 0);
    std::vector<std::uint8_t> head{'R', 'I', 'F', 'F', 0, 0, 0, 0, 's', 'f', 'b', 'k', 'L', 'I', 'S', 'T'};
    for (int i = 0; i < 4; ++i)
        head.push_back((claimed >> (8 * i)) & 0xFF);
    head.insert(head.end(), {'p', 'd', 't', 'a'});
    const bool made = ::write(fd, head.data(), head.size()) == static_cast<ssize_t>(head.size())
                      && ::ftruncate(fd, 20 + off_t{claimed}) == 0;
    ::close(fd);
    ASSERT_TRUE(made);

    // 1 GB more address space than the process has: reading the claim
    // would fail, and end the program.
    const auto readUnderLimit = [&path] {
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t limit = static_cast<rlim_t>(pages) * ::sysconf(_SC_PAGESIZE) + (1ul << 30);
        const rlimit space{limit, limit};
        ::setrlimit(RLIMIT_AS, &space);
        std::ifstream file(path, std::ios::binary);
        const bool refused = !lastPresetPart(file) && !drumKitsIn(path);
        ::unlink(path.c_str());  // this process's own file when the test runs again in it
        std::exit(refused ? 0 : 1);
    };
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(readUnderLimit(), ::testing::ExitedWithCode(0), "");
    ::unlink(path.c_str());
}
