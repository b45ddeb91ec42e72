// What the built-in synth plays for each kit button: the font's own kit
// where its name says so, else the closest kit, with the keys that kit
// leaves silent played from the next of its family.
#include "core/synth/kit_plan.h"
#include "core/synth/fluid/drum_only_font.h"
#include "core/synth/preset_part_cache.h"
#include "tests/synth/offline_fluid_synth.h"
#include "tests/support/sound_font_builder.h"
#include "tests/support/temp_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

using namespace padscope;
using test::BuiltKit;

namespace {

using FontFile = test::TempFile;

std::string describe(const KitChoice& choice)
{
    return std::to_string(choice.program) + (choice.own ? " own " : " stand-in ") + choice.presetName;
}

// Samples: 0 Standard, 1 the TR-808 kick, 2 its snare, 3 the CR-78 kick.
const std::vector<BuiltKit> kBaseKits{
    {0, "Standard", {{35, 81, 0}}},
    {9, "Room 1", {{35, 81, 0}}},
    // 10 dB softer in its global zone, which a composed kit must keep.
    {25, "TR-808", {{35, 36, 1}, {37, 40, 2}}, {{48, 100}}},
    {27, "Drums 28", {{36, 36, 3}}},
    {30, "Metronome", {{35, 81, 0}}},
};

bool silent(const std::vector<float>& sound)
{
    return std::all_of(sound.begin(), sound.end(), [](float v) { return v == 0.0f; });
}

// The same samples played the same way: only the reverb's tail of what
// each synth played before may differ, far below the notes themselves.
bool same(const std::vector<float>& a, const std::vector<float>& b)
{
    if (a.size() != b.size() || silent(a))
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::abs(a[i] - b[i]) > 1e-4f)
            return false;
    return true;
}

}  // namespace

TEST(KitPlan, KitsAreOwnByNameElseTheClosestStandIn)
{
    const FontFile base(test::soundFontWith(kBaseKits, 4));
    const auto plan = planKits({base.path(), {}});
    ASSERT_TRUE(plan);
    const auto at = [&](int program) { return describe((*plan)[static_cast<std::size_t>(program)]); };
    EXPECT_EQ(at(0), "0 own Standard");
    EXPECT_EQ(at(27), "27 own Drums 28");       // a name that names no other kit
    EXPECT_EQ(at(9), "25 stand-in TR-808");     // HIP HOP: a Room variant is not it
    EXPECT_EQ(at(30), "25 stand-in TR-808");    // TR-909: no ELECTRONIC here
    EXPECT_EQ(at(28), "25 stand-in TR-808");    // TR-606
    EXPECT_EQ(at(16), "0 stand-in Standard");   // POWER: only Standard is left
    EXPECT_EQ(at(56), "0 stand-in Standard");   // SFX
    EXPECT_EQ(at(3), "-1 stand-in ");           // no kit button

    // A font laid over it wins where it has the kit, and leaves the rest.
    const FontFile overlay(test::soundFontWith({{30, "909 Kit", {{36, 36, 0}}}, {24, "Elec", {{36, 36, 0}}}}, 1));
    const auto both = planKits({base.path(), {overlay.path()}});
    ASSERT_TRUE(both);
    EXPECT_EQ(describe((*both)[30]), "30 own 909 Kit");
    EXPECT_EQ(describe((*both)[9]), "25 stand-in TR-808");
    EXPECT_EQ(describe((*both)[11]), "30 stand-in 909 Kit");  // TECHNO

    EXPECT_FALSE(planKits({"/nonexistent/padscope.sf2", {}}));
}

// Each kit is known by its keys as SoundFonts spell it; a generic word with
// a number is the kit at that program, unless the number names another kit.
TEST(KitPlan, KitNamesAndGenericNames)
{
    const std::pair<int, const char*> named[] = {
        {0, "Standard"},  {8, "Room 1"},      {9, "Hip Hop"},   {10, "Jungle"},    {11, "Techno"},
        {13, "House"},    {16, "Power"},      {24, "Elec Kit"}, {25, "TR-808"},    {26, "Dance"},
        {27, "CR-78"},    {28, "TR-606"},     {29, "TR-707"},   {30, "TR-909"},    {32, "Jazz"},
        {40, "Brush"},    {48, "Orchestra"},  {49, "Ethnic"},   {50, "Kick&Snare"}, {52, "Asia"},
        {53, "Cymbal"},   {54, "Gamelan 1"},  {56, "SFX"},      {57, "Rhythm FX"}, {61, "Voice"},
        {127, "CM-64"},
    };
    for (const auto& [program, name] : named)
        EXPECT_TRUE(isOwnKit(program, name)) << program << " " << name;
    EXPECT_TRUE(isOwnKit(9, "Drums 10"));
    EXPECT_TRUE(isOwnKit(25, "Drums 808"));
    EXPECT_FALSE(isOwnKit(9, "Drums 808"));
    EXPECT_FALSE(isOwnKit(0, "Drums 808"));
}

// Program 127 is a kit of its own; a kit with nothing of its family and no
// Standard kit to be known by plays kit 0 as FluidSynth would, before what
// sits at its own program.
TEST(KitPlan, LastProgramAndTheFallbackWhenNothingIsKnown)
{
    const FontFile font(test::soundFontWith(
        {{0, "Marching", {{35, 81, 0}}}, {56, "Whistles", {{35, 81, 0}}}, {127, "CM-64", {{35, 81, 0}}}}, 1));
    const auto plan = planKits({font.path(), {}});
    ASSERT_TRUE(plan);
    EXPECT_EQ(describe((*plan)[127]), "127 own CM-64");
    EXPECT_EQ(describe((*plan)[56]), "0 stand-in Marching");
    EXPECT_EQ(describe((*plan)[61]), "0 stand-in Marching");
}

// Each kit is made in the one font that holds what plays it, of that font's
// kits alone: the overlay's TR-909 has no layer of the base's TR-808.
TEST(KitPlan, LayersOfTwoFontsStayEachInItsOwnFont)
{
    const FontFile base(test::soundFontWith(kBaseKits, 4));
    const FontFile overlay(test::soundFontWith({{30, "909 Kit", {{36, 36, 0}}}}, 1));
    const auto layers = planLayers({base.path(), {overlay.path()}});
    ASSERT_EQ(layers.size(), 2u);
    ASSERT_TRUE(layers[0] && layers[1]);
    const auto& inBase = *layers[0];
    const auto& inOverlay = *layers[1];
    EXPECT_EQ(inOverlay[30], std::vector<int>{30});
    EXPECT_EQ(inOverlay[11], std::vector<int>{30});  // TECHNO
    EXPECT_TRUE(inBase[30].empty());
    EXPECT_TRUE(inBase[11].empty());
    EXPECT_EQ(inBase[9], std::vector<int>{25});  // HIP HOP: the TR-808
    EXPECT_TRUE(inOverlay[9].empty());
    EXPECT_EQ(inBase[0], std::vector<int>{0});
}

TEST(KitPlan, ComposedKitPlaysTheStandInOnTheKeysItsOwnLeavesSilent)
{
    const FontFile file(test::soundFontWith(kBaseKits, 4));
    const SoundFontSet fonts{file.path(), {}};
    const auto layers = planLayers(fonts);
    ASSERT_EQ(layers.size(), 1u);
    ASSERT_TRUE(layers[0]);
    test::OfflineFluidSynth whole(false), planned(true);
    ASSERT_NE(fluid_synth_sfload(whole.synth.get(), file.path().c_str(), 0), FLUID_FAILED);
    ASSERT_NE(fluid_synth_sfload(planned.synth.get(), drumKitsOf(file.path().string(), *layers[0]).c_str(), 0),
              FLUID_FAILED);
    const auto sounds = [](test::OfflineFluidSynth& synth, int kit, int note) {
        synth.selectKit(kit);
        return synth.play(note);
    };
    // CR-78: its own kick; the TR-808's snare, at the TR-808's level, where
    // it has none; nothing from the Standard kit, of another family.
    EXPECT_TRUE(same(sounds(planned, 27, 36), sounds(whole, 27, 36)));
    EXPECT_TRUE(same(sounds(planned, 27, 38), sounds(whole, 25, 38)));
    planned.selectKit(27);
    planned.play(60);
    const int voices = fluid_synth_get_active_voice_count(planned.synth.get());
    fluid_synth_noteon(planned.synth.get(), 9, 60, 100);
    EXPECT_EQ(fluid_synth_get_active_voice_count(planned.synth.get()), voices);
    // HIP HOP and TR-909 are the TR-808, not what sits at their programs.
    EXPECT_TRUE(same(sounds(planned, 9, 36), sounds(whole, 25, 36)));
    EXPECT_TRUE(same(sounds(planned, 30, 36), sounds(whole, 25, 36)));
    EXPECT_FALSE(same(sounds(planned, 30, 36), sounds(whole, 30, 36)));
    // ROOM: the Standard kit, on all its keys.
    EXPECT_TRUE(same(sounds(planned, 8, 60), sounds(whole, 0, 60)));
}

// The plan, the synth's layers and its loader read a font once between
// them, from any thread, and again once it is replaced.
TEST(KitPlan, EachVersionOfAFontIsReadOnce)
{
    const FontFile file(test::soundFontWith(kBaseKits, 4));
    const SoundFontSet fonts{file.path(), {}};
    PresetPartCache& cache = presetParts();
    const std::size_t before = cache.reads();
    ASSERT_TRUE(planKits(fonts));
    ASSERT_TRUE(planLayers(fonts).at(0));
    ASSERT_TRUE(drumKitsIn(file.path().string()));
    std::vector<std::jthread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&fonts] { (void)planKits(fonts); });
    threads.clear();
    EXPECT_EQ(cache.reads(), before + 1);

    // Another font of the same size at a later time, then one of another
    // size: each is read, and plays its own kit.
    const auto replace = [&file](const std::string& name) {
        const auto written = std::filesystem::last_write_time(file.path());
        std::ofstream(file.path(), std::ios::binary | std::ios::trunc)
            << test::soundFontWith({{0, name, {{35, 81, 0}}}}, 1);
        std::filesystem::last_write_time(file.path(), written + std::chrono::seconds(1));
    };
    replace("Standard A");
    const auto size = std::filesystem::file_size(file.path());
    EXPECT_EQ(describe(planKits(fonts).value()[0]), "0 own Standard A");
    replace("Standard B");
    ASSERT_EQ(std::filesystem::file_size(file.path()), size);
    EXPECT_EQ(describe(planKits(fonts).value()[0]), "0 own Standard B");
    EXPECT_EQ(drumKitsIn(file.path().string()), KitSet().set(0));
    replace("Standard Kit C");
    EXPECT_EQ(describe(planKits(fonts).value()[0]), "0 own Standard Kit C");
    EXPECT_EQ(cache.reads(), before + 4);
}

TEST(KitPlan, DebianFontsGiveEachButtonItsKitOrOneOfItsFamily)
{
    const auto fonts = findSoundFonts(standardSoundFontSearch());
    if (!fonts || fonts->base.filename() == "MuseScore_General.sf3")
        GTEST_SKIP() << "FluidR3 is not installed (Debian: apt install fluid-soundfont-gm fluid-soundfont-gs)";
    const auto plan = planKits(*fonts);
    ASSERT_TRUE(plan);
    const auto at = [&](int program) { return describe((*plan)[static_cast<std::size_t>(program)]); };
    // FluidR3 numbers its variants of a kit: right for STANDARD 2 and
    // JAZZ L/R, wrong for HIP HOP and HOUSE.
    EXPECT_EQ(at(1), "1 own Standard 1");
    EXPECT_EQ(at(33), "33 own Jazz 1");
    EXPECT_EQ(at(9), "25 stand-in TR-808");
    EXPECT_EQ(at(13), "24 stand-in Electronic");
    EXPECT_EQ(at(27), "25 stand-in TR-808");
    EXPECT_EQ(at(30), "24 stand-in Electronic");
    EXPECT_EQ(at(55), "48 stand-in Orchestra Kit");
    EXPECT_EQ(at(56), "56 own SFX");
    EXPECT_EQ(at(61), "56 stand-in SFX");
    EXPECT_EQ(at(127), "0 stand-in Standard");
}

TEST(KitPlan, MuseScoreMarchingKitsAreNotTakenForTheKitsAtTheirPrograms)
{
    const std::filesystem::path font = "/usr/share/sounds/sf3/MuseScore_General.sf3";
    if (!std::filesystem::exists(font))
        GTEST_SKIP() << "MuseScore's SoundFont is not installed (Debian: apt install musescore-general-soundfont)";
    const auto plan = planKits({font, {}});
    ASSERT_TRUE(plan);
    EXPECT_EQ(describe((*plan)[55]), "48 stand-in Orchestra Kit");  // not "Metronome"
    EXPECT_EQ(describe((*plan)[56]), "0 stand-in Standard");        // not "Marching Snare"
    EXPECT_EQ(describe((*plan)[29]), "25 stand-in TR-808");

    // Its samples are compressed (SF3): the drum-only loader serves them as
    // they are, and the kit made for GAMELAN 2 sounds.
    const auto layers = planLayers({font, {}});
    ASSERT_EQ(layers.size(), 1u);
    ASSERT_TRUE(layers[0]);
    test::OfflineFluidSynth synth(true);
    ASSERT_NE(fluid_synth_sfload(synth.synth.get(), drumKitsOf(font.string(), *layers[0]).c_str(), 0), FLUID_FAILED);
    synth.selectKit(55);
    EXPECT_FALSE(silent(synth.play(60)));
}
