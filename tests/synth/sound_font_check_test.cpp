// What the program learns of a SoundFont before the synth is asked to play
// it: a path that is no file is refused at once, never opened for reading,
// and damage inside a font that FluidSynth would refuse is named, so that
// the usual fonts play instead.
#include "core/synth/fluid/drum_only_font.h"
#include "core/synth/kit_plan.h"
#include "core/synth/sound_fonts.h"
#include "tests/support/sound_font_builder.h"
#include "tests/support/temp_file.h"
#include "tests/synth/offline_fluid_synth.h"

#include <gtest/gtest.h>

#include <fluidsynth.h>
#include <glib.h>

#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>

using namespace padscope;

namespace {

using test::TempFile;

const std::vector<test::BuiltKit> kKits{{0, "Standard", {{35, 60, 0}, {61, 81, 1}}}, {25, "TR-808", {{35, 81, 1}}}};

void put32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t get32(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= std::uint32_t{static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)])} << (8 * i);
    return value;
}

// The file cut at `size`, its RIFF size made to match: only what lies
// inside tells that it was cut.
std::string cutAt(std::string bytes, std::size_t size)
{
    bytes.resize(size);
    put32(bytes, 4, static_cast<std::uint32_t>(size - 8));
    return bytes;
}

std::optional<FailureReport> problemOf(const std::filesystem::path& path)
{
    std::vector<FailureReport> problems;
    if (chosenSoundFonts({path}, problems))
        return std::nullopt;
    return problems.empty() ? FailureReport{Failure::NoPorts, "(none named)"} : problems.front();
}

// Checks in a child process, which a hang fails after 20 s instead of
// holding the run; its exit status is the number of the first that fails.
void expectWithoutBlocking(const std::function<std::vector<bool>()>& checks)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ::alarm(20);
            const std::vector<bool> passed = checks();
            const auto failed = std::find(passed.begin(), passed.end(), false);
            std::_Exit(failed == passed.end() ? 0 : 1 + static_cast<int>(failed - passed.begin()));
        },
        ::testing::ExitedWithCode(0), "");
}

// FluidSynth hands a file it cannot read to libinstpatch, whose assertion
// messages go to GLib's default log handler.
class QuietGlib {
public:
    QuietGlib() : previous_(g_log_set_default_handler([](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr)) {}
    ~QuietGlib() { g_log_set_default_handler(previous_, nullptr); }
    QuietGlib(const QuietGlib&) = delete;
    QuietGlib& operator=(const QuietGlib&) = delete;

private:
    GLogFunc previous_;
};

}  // namespace

TEST(SoundFontCheck, FifoOrDeviceIsNotAFileAndIsNeverOpened)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::filesystem::path fifo = dir.filePath(QStringLiteral("pipe.sf2")).toStdString();
    const std::filesystem::path device = dir.filePath(QStringLiteral("device.sf2")).toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", device);
    const TempFile good(test::soundFontWith(kKits, 2));

    for (const auto& path : {fifo, device}) {
        SCOPED_TRACE(path.string());
        expectWithoutBlocking([&]() -> std::vector<bool> {
            const auto found = findSoundFonts({{path, good.path()}, {path}});
            return {soundFontFault(path) == Failure::SoundFontNotAFile,
                    problemOf(path) == FailureReport{Failure::SoundFontNotAFile, path.string()},
                    found && found->base == good.path() && found->overlays.empty(),
                    !drumKitsIn(path.string()),
                    !planKits({path, {}}),
                    planKits({good.path(), {path}}).has_value(),
                    planLayers({good.path(), {path}}).at(1) == std::nullopt};
        });
    }
}

TEST(SoundFontCheck, DamageInsideIsNamedAsFluidSynthWouldRefuseIt)
{
    const std::string whole = test::soundFontWith(kKits, 2);
    const std::size_t sdta = whole.find("sdta") - 8, pdta = whole.find("pdta") - 8;
    const std::size_t pgen = whole.find("pgen"), inst = whole.find("inst"), phdr = whole.find("phdr");
    ASSERT_FALSE(soundFontFault(TempFile(whole).path()));

    std::string hugeList = whole;
    put32(hugeList, sdta + 4, 0xFFFFFF00);
    std::string hugePgen = whole;
    put32(hugePgen, pgen + 4, 200u << 20);
    std::string backwards = whole;  // the second kit's zones run past the last one
    backwards[phdr + 8 + 38 + 24] = 5;
    std::string noSuchInstrument = whole;
    noSuchInstrument[pgen + 8 + 2] = 2;
    std::string cutRecord = whole;  // a bag chunk of 2 bytes more, borrowed from the next
    put32(cutRecord, whole.find("pbag") + 4, get32(whole, whole.find("pbag") + 4) + 2);
    const std::vector<std::pair<std::string, Failure>> cases{
        {hugeList, Failure::SoundFontTruncated},
        {cutAt(whole, sdta + 1000), Failure::SoundFontTruncated},
        {cutAt(whole, pdta + 100), Failure::SoundFontTruncated},
        {cutAt(whole, inst), Failure::SoundFontTruncated},
        {hugePgen, Failure::SoundFontNotASoundFont},
        {backwards, Failure::SoundFontNotASoundFont},
        {noSuchInstrument, Failure::SoundFontNotASoundFont},
        {cutRecord, Failure::SoundFontNotASoundFont},
    };
    const QuietGlib quiet;
    test::OfflineFluidSynth fluid(false);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        const TempFile font(cases[i].first);
        EXPECT_EQ(problemOf(font.path()), (FailureReport{cases[i].second, font.path().string()}));
        EXPECT_EQ(fluid_synth_sfload(fluid.synth.get(), font.path().c_str(), 0), FLUID_FAILED);
    }
}

// Damage the check lets through must still load: else the synth would be
// left with nothing to play.
TEST(SoundFontCheck, RandomDamageThatPassesStillLoads)
{
    const std::string whole = test::soundFontWith(kKits, 2);
    const std::size_t pdta = whole.find("pdta") + 4;
    std::mt19937 random(31);
    const QuietGlib quiet;
    test::OfflineFluidSynth fluid(false);
    int passed = 0;
    for (int round = 0; round < 600; ++round) {
        std::string damaged = whole;
        for (int n = 0; n < 1 + round % 3; ++n)
            damaged[pdta + random() % (damaged.size() - pdta)] = static_cast<char>(random());
        const TempFile font(damaged);
        if (soundFontFault(font.path()))
            continue;
        ++passed;
        const int id = fluid_synth_sfload(fluid.synth.get(), font.path().c_str(), 0);
        ASSERT_NE(id, FLUID_FAILED) << "round " << round;
        fluid_synth_sfunload(fluid.synth.get(), id, 0);
    }
    EXPECT_GT(passed, 100);  // most single bytes are names and amounts
}
