// End to end: the JACK backend talks to jack_midi_dump through a private
// JACK server on the dummy backend.
#include "core/midi/jack_detection.h"
#include "tests/support/jack_test.h"
#include "core/midi/port_session.h"
#include "core/midi/press_messages.h"
#include "tests/support/recording_output.h"
#include "core/midi/jack_midi.h"
#include "core/midi/rtmidi_api.h"
#include "tests/support/jack_midi_peer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace padscope;

namespace {

std::vector<unsigned char> wordBytes(const MidiMessage& message)
{
    return {message.bytes().begin(), message.bytes().end()};
}

// A client of its own, as each start of the program opens.
std::shared_ptr<JackMidiClient> newClient()
{
    return std::make_shared<JackMidiClient>();
}

int indexOf(const MidiOutput& out, const std::string& name)
{
    for (int i = 0; i < out.portCount(); ++i)
        if (out.portName(i) == clipPortName(name))
            return i;
    return -1;
}

// A Unix socket listening at `path`, as a server's would; -1 on failure.
int listeningSocket(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    ::unlink(path.c_str());
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::listen(fd, 4) != 0) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    return fd;
}

// Two threads that spin for the object's lifetime: a loaded machine, on
// which a JACK connection takes several cycles to become live.
class BusyLoops {
public:
    BusyLoops()
    {
        for (auto& loop : loops_)
            loop = std::jthread([](std::stop_token stop) {
                while (!stop.stop_requested()) {
                }
            });
    }

private:
    std::jthread loops_[2];
};

// Each test runs against its own JACK server.
class RtMidiJack : public test::JackServerTest {};

}  // namespace

// Each start of the program opens its port and sends the GS Reset at once:
// the first message must not go out before the connection carries it.
TEST_F(RtMidiJack, FirstMessageAfterEachOpenArrivesUnderLoad)
{
    test::MidiDumpPeer peer("padscope-first");
    ASSERT_TRUE(peer.start());

    constexpr std::size_t kStarts = 10;
    {
        const BusyLoops load;
        for (std::size_t start = 0; start < kStarts; ++start) {
            JackMidiOutput out(newClient());
            ASSERT_TRUE(out.open(indexOf(out, peer.portName())));
            out.send(kGsReset);
            out.send(releaseMessage(36));
            // Delivered before the client closes.
            const auto heard = peer.waitForEvents(2 * (start + 1), 10000);
            ASSERT_EQ(heard.size(), 2 * (start + 1));
        }
    }
    const std::vector<unsigned char> reset(kGsReset.begin(), kGsReset.end());
    const auto heard = peer.waitForEvents(2 * kStarts, 0);
    for (std::size_t start = 0; start < kStarts; ++start)
        EXPECT_EQ(heard[2 * start], reset) << "start " << start + 1;
}

TEST_F(RtMidiJack, PressReachesTheJackPeerByteForByte)
{
    test::MidiDumpPeer peer("padscope-peer");
    ASSERT_TRUE(peer.start()) << "jack_midi_dump did not come up";

    JackMidiOutput out(newClient());
    const int port = indexOf(out, peer.portName());
    ASSERT_GE(port, 0) << "the peer's port is not listed";

    RecordingNotifier notifier;
    PortSession session(out, notifier, [](std::chrono::milliseconds) {});
    session.countPorts();
    session.openRemembered(port, out.portName(port));
    ASSERT_TRUE(notifier.failures.empty());
    EXPECT_EQ(session.portName(), clipPortName(peer.portName()));

    const auto press = pressMessages(defaultControllerValues(), 36, 0, 4);
    for (auto word : press)
        out.send(word);
    out.send(releaseMessage(36));

    std::vector<std::vector<unsigned char>> expected;
    expected.emplace_back(kGsReset.begin(), kGsReset.end());
    for (auto word : press)
        expected.push_back(wordBytes(word));
    expected.push_back(wordBytes(releaseMessage(36)));

    const auto received = peer.waitForEvents(expected.size(), 10000);
    EXPECT_EQ(received, expected);
    session.close();
}

TEST_F(RtMidiJack, PortThatVanishedFailsToOpenInsteadOfOpeningNothing)
{
    int port = -1;
    std::unique_ptr<JackMidiOutput> out;
    {
        test::MidiDumpPeer peer("padscope-gone");
        ASSERT_TRUE(peer.start());
        out = std::make_unique<JackMidiOutput>(newClient());
        port = indexOf(*out, peer.portName());
        ASSERT_GE(port, 0);
    }
    // The server drops the peer's port shortly after the peer exits.
    for (int i = 0; i < 100 && indexOf(JackMidiOutput(newClient()), "padscope-gone:input") >= 0; ++i)
        QThread::msleep(20);
    EXPECT_FALSE(out->open(port));
    out->send(releaseMessage(36));  // dropped, no crash
}

TEST_F(RtMidiJack, ServerThatDiesUnderAnOpenPortCrashesNothing)
{
    JackMidiOutput* survivor = nullptr;
    std::unique_ptr<JackMidiOutput> out;
    {
        test::MidiDumpPeer peer("padscope-dying");
        ASSERT_TRUE(peer.start());
        out = std::make_unique<JackMidiOutput>(newClient());
        const int port = indexOf(*out, peer.portName());
        ASSERT_GE(port, 0);
        ASSERT_TRUE(out->open(port));
        survivor = out.get();
    }
    stopServer();
    // Server and peer are gone: sends, a reset, a reopen and a close still return.
    for (const auto& word : pressMessages(defaultControllerValues(), 36, 0, 4))
        survivor->send(word);
    survivor->send(kGsReset);
    for (const auto& message : allNotesOffMessages())
        survivor->send(message);
    survivor->open(0);
    survivor->close();
    out.reset();
}

int indexIn(const auto& ports, const std::string& fullName)
{
    for (std::size_t i = 0; i < ports.ports().size(); ++i)
        if (ports.ports()[i].fullName == fullName)
            return static_cast<int>(i);
    return -1;
}

struct Heard {
    std::mutex mutex;
    std::vector<std::vector<unsigned char>> messages;
    static void keep(double, std::vector<unsigned char>* message, void* heard)
    {
        auto* into = static_cast<Heard*>(heard);
        const std::lock_guard lock(into->mutex);
        into->messages.push_back(*message);
    }
};

// RtMidi's port layer, walked here on JACK as it walks the ALSA sequencer:
// a listed port opens by its full name after a port before it went, on
// either side; one that went itself does not open.
TEST_F(RtMidiJack, RtMidiPortsOpenAPortByNameAfterTheNumberingShifted)
{
    Heard heard;
    RtMidiPorts<RtMidiOut> outs("padscope-ports", {}, {}, RtMidi::UNIX_JACK);
    RtMidiPorts<RtMidiIn> ins(
        "padscope-ports", [&heard](RtMidiIn& in) { in.setCallback(&Heard::keep, &heard); }, {}, RtMidi::UNIX_JACK);
    std::optional<test::JackMidiPeer> before(std::in_place, "padscope-before");
    test::JackMidiPeer peer("padscope-peer");
    ASSERT_TRUE(peer.registered() && before->registered());
    outs.refresh();
    ins.refresh();
    const int out = indexIn(outs, peer.input()), in = indexIn(ins, peer.output());
    ASSERT_GT(out, indexIn(outs, before->input()));
    ASSERT_GT(in, indexIn(ins, before->output()));
    before.reset();

    // A JACK connection carries events only some cycles after it is made:
    // the message goes again until one arrives.
    const std::vector<unsigned char> press{0x99, 36, 100};
    ASSERT_TRUE(outs.open(out, "out").opened);
    std::vector<std::vector<unsigned char>> received;
    for (int i = 0; i < 100 && received.empty(); ++i) {
        outs.opened()->sendMessage(&press);
        received = peer.waitForEvents(1, std::chrono::milliseconds(100));
    }
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.front(), press);

    ASSERT_TRUE(ins.open(in, "in").opened);
    const auto nothingHeard = [&heard] {
        const std::lock_guard lock(heard.mutex);
        return heard.messages.empty();
    };
    for (int i = 0; i < 100 && nothingHeard(); ++i) {
        peer.send({press});
        peer.waitUntilSent(std::chrono::seconds(1));
        QThread::msleep(20);
    }
    ins.close();
    ASSERT_FALSE(heard.messages.empty());
    EXPECT_EQ(heard.messages.front(), press);

    std::optional<test::JackMidiPeer> gone(std::in_place, "padscope-gone");
    outs.refresh();
    const int goneAt = indexIn(outs, gone->input());
    ASSERT_GE(goneAt, 0);
    gone.reset();
    EXPECT_FALSE(outs.open(goneAt, "out").opened);
    EXPECT_EQ(outs.opened(), nullptr);
}

// Peers that come up after the ports were listed, first with no JACK port at
// all, are found when the list is taken again; the open port stays open, and
// once the server has gone its ports drop out of the list.
TEST_F(RtMidiJack, RefreshFindsPeersStartedLaterAndKeepsTheOpenPort)
{
    JackMidiOutput out(newClient());
    RecordingNotifier notifier;
    PortSession session(out, notifier, [](std::chrono::milliseconds) {});
    session.countPorts();
    notifier.failures.clear();  // no port at all yet, unless ALSA has some

    test::MidiDumpPeer first("padscope-early");
    ASSERT_TRUE(first.start());
    EXPECT_EQ(indexOf(out, first.portName()), -1);
    session.refreshPorts();
    const int port = indexOf(out, first.portName());
    ASSERT_GE(port, 0) << "a JACK peer started after the list was taken is not found";
    session.choosePort(port);
    ASSERT_TRUE(notifier.failures.empty());

    test::MidiDumpPeer second("padscope-late");
    ASSERT_TRUE(second.start());
    session.refreshPorts();
    ASSERT_GE(indexOf(out, second.portName()), 0);
    EXPECT_EQ(session.openPortIndex(), indexOf(out, first.portName()));
    out.send(releaseMessage(36));
    // A choice is a port change: All Notes Off on 16 channels, then the GS Reset.
    const std::vector<unsigned char> reset(kGsReset.begin(), kGsReset.end());
    const auto heard = first.waitForEvents(18, 10000);
    ASSERT_EQ(heard.size(), 18u);
    EXPECT_EQ(heard[16], reset);
    EXPECT_EQ(heard[17], (std::vector<unsigned char>{0x99, 36, 0}));

    session.choosePort(indexOf(out, second.portName()));
    const auto heardLater = second.waitForEvents(17, 10000);
    ASSERT_EQ(heardLater.size(), 17u);
    EXPECT_EQ(heardLater.back(), reset);
    EXPECT_EQ(session.portName(), clipPortName(second.portName()));

    server().signal(SIGKILL);
    server().waitForExit();
    session.refreshPorts();
    EXPECT_EQ(indexOf(out, second.portName()), -1) << "ports of a server that has gone are listed";
    EXPECT_EQ(session.openPortIndex(), -1);
    session.close();
}

// A JACK without JACK 2's socket is asked with a client only where its own
// socket shows: PipeWire's (under the runtime folder, or named by
// PIPEWIRE_REMOTE) or JACK 1's folder.
TEST(OtherJack, IsAskedOnlyWhereItsSocketShows)
{
    const std::string user = std::to_string(::getuid());
    for (const char* path : {"/run/pipewire/pipewire-0", "/dev/shm/jack-", "/tmp/jack-"}) {
        const std::string full = path + (std::string_view(path).ends_with('-') ? user : std::string());
        if (std::filesystem::exists(full))
            GTEST_SKIP() << full << " exists on this machine";
    }
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    qunsetenv("PIPEWIRE_RUNTIME_DIR");
    qunsetenv("PIPEWIRE_REMOTE");

    EXPECT_FALSE(otherJackMayListen()) << "no socket at all";

    const std::string socketPath = runtime.filePath(QStringLiteral("pipewire-0")).toStdString();
    const int fd = listeningSocket(socketPath);
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(otherJackMayListen()) << "PipeWire's socket in the runtime folder";

    qputenv("PIPEWIRE_REMOTE", QByteArray::fromStdString(socketPath));
    EXPECT_TRUE(otherJackMayListen()) << "PipeWire's socket named by its full path";
    qputenv("PIPEWIRE_REMOTE", "elsewhere-0");
    EXPECT_FALSE(otherJackMayListen()) << "a PipeWire socket of another name";

    ::close(fd);
    qunsetenv("PIPEWIRE_REMOTE");
    qputenv("XDG_RUNTIME_DIR", saved);
}

// A JACK 2 server shared by several users (JACK_PROMISCUOUS_SERVER) names
// its socket without the user: it is found there, without a client.
TEST(OtherJack, SharedJack2ServerIsFoundByItsSocket)
{
    const QByteArray name = "padscope-shared-" + QByteArray::number(::getpid());
    const std::string socketPath = "/dev/shm/jack_" + name.toStdString() + "_0";
    const int fd = listeningSocket(socketPath);
    ASSERT_GE(fd, 0);
    const QByteArray savedServer = qgetenv("JACK_DEFAULT_SERVER");
    qputenv("JACK_DEFAULT_SERVER", name);
    qputenv("JACK_PROMISCUOUS_SERVER", "");

    EXPECT_TRUE(jackServerListening());

    qunsetenv("JACK_PROMISCUOUS_SERVER");
    if (savedServer.isNull())
        qunsetenv("JACK_DEFAULT_SERVER");
    else
        qputenv("JACK_DEFAULT_SERVER", savedServer);
    ::close(fd);
    ::unlink(socketPath.c_str());
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return test::skipAwareExitCode(RUN_ALL_TESTS());
}
