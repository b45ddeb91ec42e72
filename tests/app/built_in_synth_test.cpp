// A synth module that the loader cannot take safely (cut short by a full disk
// or an interrupted upgrade, or a FIFO in its place) is passed over with the
// reason, instead of crashing the program or hanging its window.
#include "app/built_in_synth.h"
#include "core/midi/chained_output.h"
#include "app/module_file.h"
#include "core/synth/synth_port.h"
#include "app/program.h"
#include "core/synth/synth_availability.h"
#include "testing/wait_until.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <elf.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <future>

using namespace padscope;

namespace {

// What a program knows of a JACK server that has hung, and who asked it.
class HungJackServer final : public JackServer {
public:
    void quiet() override { ++asked; }
    bool listening() override { return ++asked, false; }
    std::optional<double> sampleRate() override { return ++asked, std::nullopt; }
    bool isPipeWire() override { return ++asked, false; }
    bool gone() override { return ++asked, true; }
    void markHung() override { ++asked; }

    std::atomic<int> asked{0};
};

QByteArray builtModule()
{
    QFile file(QStringLiteral(PADSCOPE_SYNTH_MODULE));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Where the module's last segment ends, by the system's own ELF structures.
std::size_t segmentsEnd(const QByteArray& module)
{
    Elf64_Ehdr header;
    std::memcpy(&header, module.constData(), sizeof header);
    std::size_t end = 0;
    for (int i = 0; i < header.e_phnum; ++i) {
        Elf64_Phdr segment;
        std::memcpy(&segment, module.constData() + header.e_phoff + i * header.e_phentsize, sizeof segment);
        end = std::max<std::size_t>(end, segment.p_offset + segment.p_filesz);
    }
    return end;
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// In a child process, which a crash or a hang (ended after 20 s) fails.
void expectPassedOver(const QString& folder, const std::string& what)
{
    GTEST_FLAG_SET(death_test_style, "fast");
    const auto load = [&folder] {
        ::alarm(20);
        std::exit(loadBuiltInSynth(SoundFontSet{}, {folder}) ? 1 : 0);
    };
    EXPECT_EXIT(load(), ::testing::ExitedWithCode(0), "") << what;
}

}  // namespace

TEST(SynthModule, CutModuleOrFifoIsPassedOverWithTheReason)
{
    const QByteArray module = builtModule();
    ASSERT_GT(module.size(), 4096);
    EXPECT_EQ(unloadableModuleReason(PADSCOPE_SYNTH_MODULE), "");

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("padscope-synth.so"));
    const std::size_t end = segmentsEnd(module);
    for (std::size_t size : {std::size_t{0}, std::size_t{10}, std::size_t{63}, std::size_t{64 + 56 + 20}, end / 4,
                             end / 2, end * 3 / 4, end - 1}) {
        write(path, module.left(static_cast<qsizetype>(size)));
        EXPECT_TRUE(unloadableModuleReason(path.toStdString()).starts_with(path.toStdString() + " is cut short ("))
            << size << ": " << unloadableModuleReason(path.toStdString());
        expectPassedOver(dir.path(), "cut to " + std::to_string(size) + " bytes");
    }
    write(path, module.left(10));
    EXPECT_EQ(unloadableModuleReason(path.toStdString()), path.toStdString() + " is cut short (10 bytes): no whole ELF header");

    ASSERT_TRUE(QFile::remove(path));
    ASSERT_EQ(::mkfifo(path.toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(unloadableModuleReason(path.toStdString()), path.toStdString() + " is not a regular file");
    expectPassedOver(dir.path(), "a FIFO");
}

// The loader, given the module's name, would also try it with "lib" before
// it and without ".so": a module found only under such a name, whole or cut,
// is never loaded.
TEST(SynthModule, OnlyTheModulesOwnFileNameIsLoaded)
{
    const QByteArray module = builtModule();
    ASSERT_GT(module.size(), 4096);
    const QByteArray cut = module.left(static_cast<qsizetype>(segmentsEnd(module) / 2));
    for (const char* name : {"libpadscope-synth.so", "padscope-synth", "libpadscope-synth"}) {
        for (const QByteArray* bytes : {&module, &cut}) {
            QTemporaryDir dir;
            ASSERT_TRUE(dir.isValid());
            write(dir.filePath(QLatin1String(name)), *bytes);
            expectPassedOver(dir.path(), std::string(name) + (bytes == &cut ? ", cut" : ", whole"));
        }
    }
}

// A module of one 4 KB segment that maps 8 KB, the rest zeroed (.bss), in
// the layout of its class.
template <typename Header, typename Segment>
QByteArray oneSegmentModule(unsigned char elfClass, std::uint64_t offset, std::uint64_t fileSize)
{
    QByteArray module(4096, '\0');
    Header header{};
    std::memcpy(header.e_ident, ELFMAG, SELFMAG);
    header.e_ident[EI_CLASS] = elfClass;
    header.e_ident[EI_DATA] = ELFDATA2LSB;
    header.e_phoff = sizeof header;
    header.e_phentsize = sizeof(Segment);
    header.e_phnum = 1;
    Segment segment{};
    segment.p_type = PT_LOAD;
    segment.p_offset = static_cast<decltype(segment.p_offset)>(offset);
    segment.p_filesz = static_cast<decltype(segment.p_filesz)>(fileSize);
    segment.p_memsz = 8192;
    std::memcpy(module.data(), &header, sizeof header);
    std::memcpy(module.data() + sizeof header, &segment, sizeof segment);
    return module;
}

// What a segment takes from the file counts, not what it maps; one that
// starts past the end is refused however little it takes.
TEST(SynthModule, SegmentsAreCheckedByTheirBytesInTheFileInEitherLayout)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath(QStringLiteral("module.so")).toStdString();
    const auto reasonFor = [&path](const QByteArray& module) {
        write(QString::fromStdString(path), module);
        return unloadableModuleReason(path);
    };
    for (const bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "64-bit" : "32-bit");
        const auto make = [wide](std::uint64_t offset, std::uint64_t fileSize) {
            return wide ? oneSegmentModule<Elf64_Ehdr, Elf64_Phdr>(ELFCLASS64, offset, fileSize)
                        : oneSegmentModule<Elf32_Ehdr, Elf32_Phdr>(ELFCLASS32, offset, fileSize);
        };
        EXPECT_EQ(reasonFor(make(0, 4096)), "");
        EXPECT_EQ(reasonFor(make(0, 4096).left(4095)), path + " is cut short (4095 bytes): segment 0 ends at byte 4096");
        EXPECT_EQ(reasonFor(make(8192, 16)), path + " is cut short (4096 bytes): segment 0 ends at byte 8208");
    }
}

// The module keeps no JACK state of its own: a copy would find the server
// again, or miss that the program saw it hang.
TEST(SynthModule, AsksTheProgramsJackState)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString font = dir.filePath(QStringLiteral("header-only.sf2"));
    write(font, QByteArray("RIFF\x04\0\0\0sfbk", 12));
    // In a child that ends without the exit-time leak check: the synth's
    // worker may still be letting go of the port as the process ends.
    GTEST_FLAG_SET(death_test_style, "fast");
    const auto askJack = [&font] {
        ::alarm(20);
        HungJackServer jack;
        auto engine = loadBuiltInSynth(SoundFontSet{font.toStdString(), {}},
                                       {QFileInfo(QStringLiteral(PADSCOPE_SYNTH_MODULE)).path()}, jack);
        if (!engine)
            std::_Exit(2);
        const int quieted = jack.asked.load();
        if (quieted < 1)
            std::_Exit(3);
        // Loading, which the port's worker does, asks for the server's
        // sample rate before it reads the SoundFont.
        engine->load();
        const bool loadAsked = jack.asked.load() > quieted;
        engine->release();
        std::_Exit(loadAsked ? 0 : 4);
    };
    // 2: no engine; 3: not asked when made; 4: not asked when loading.
    EXPECT_EXIT(askJack(), ::testing::ExitedWithCode(0), "");
}

// The window reaches the synth through the program's chain of outputs:
// a request made before the module is loaded waits for it, in turn.
TEST(SynthModule, SoundFontRequestGoesThroughTheProgramsChain)
{
    const auto fonts = findSoundFonts(standardSoundFontSearch());
    if (!fonts || fonts->overlays.empty())
        GTEST_SKIP() << "no Debian SoundFonts installed";
    GTEST_FLAG_SET(death_test_style, "fast");
    const auto choose = [&fonts] {
        ::alarm(20);
        HungJackServer jack;  // no server: the synth plays nothing, but loads
        const QString folder = QFileInfo(QStringLiteral(PADSCOPE_SYNTH_MODULE)).path();
        ChainedOutput chain;
        chain.append([&]() -> std::unique_ptr<MidiOutput> {
            return std::make_unique<SynthPort>(std::string(kBuiltInSynthName), SynthOptions{},
                                               [&](const auto&) { return loadBuiltInSynth(*fonts, {folder}, jack); });
        });
        if (chain.loadSoundFonts({fonts->overlays.front()}, {}))
            std::_Exit(2);  // taken while no port is open
        chain.open(0);
        std::promise<std::optional<FailureReport>> missing, good;
        chain.loadSoundFonts({"/nowhere/kit.sf2"}, [&](const auto& failure) { missing.set_value(failure); });
        chain.loadSoundFonts({fonts->overlays.front()}, [&](const auto& failure) { good.set_value(failure); });
        const std::optional<FailureReport> first = missing.get_future().get();
        if (!first || first->failure != Failure::SoundFontMissing || first->subject != "/nowhere/kit.sf2")
            std::_Exit(3);
        std::_Exit(good.get_future().get() ? 4 : 0);
    };
    EXPECT_EXIT(choose(), ::testing::ExitedWithCode(0), "");
}

TEST(StartFonts, CommandLineThenTheRememberedFontThenTheUsualOnes)
{
    const auto usual = findSoundFonts(standardSoundFontSearch());
    if (!usual)
        GTEST_SKIP() << "no Debian SoundFonts installed";
    const std::filesystem::path gs = "/usr/share/sounds/sf2/FluidR3_GS.sf2";
    const auto picked = pickSoundFonts(SoundFontSet{"/a.sf2", {"/b.sf3"}}, gs.string());
    ASSERT_TRUE(picked);
    EXPECT_EQ(picked->base, "/a.sf2");
    EXPECT_EQ(picked->overlays, (std::vector<std::filesystem::path>{"/b.sf3"}));
    EXPECT_EQ(pickSoundFonts({}, gs.string())->base, gs);
    EXPECT_TRUE(pickSoundFonts({}, gs.string())->overlays.empty());
    // One that has gone since, or was never set: the usual ones.
    EXPECT_EQ(pickSoundFonts({}, "/gone/kit.sf2")->base, usual->base);
    EXPECT_EQ(pickSoundFonts({}, "")->overlays, usual->overlays);

    // A FIFO in its place is never opened (no window would ever show), and
    // its name reaches the terminal without the control characters in it.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string fifo = dir.filePath(QStringLiteral("pipe\x1b[2J.sf2")).toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    GTEST_FLAG_SET(death_test_style, "fast");
    const auto pick = [&] {
        ::alarm(20);
        const auto picked = pickSoundFonts({}, fifo);
        std::_Exit(picked && picked->base == usual->base ? 0 : 1);
    };
    EXPECT_EXIT(pick(), ::testing::ExitedWithCode(0), "chosen before, .*/pipe\\\\x1B\\[2J\\.sf2, cannot be played");
}
