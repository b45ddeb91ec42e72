#include "core/midi/chained_output.h"
#include "core/midi/port_session.h"
#include "core/midi/press_messages.h"
#include "tests/support/recording_output.h"
#include "core/midi/rtmidi_api.h"
#include "core/midi/rtmidi_output.h"
#include "core/settings/settings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

using namespace padscope;

namespace {

struct Fixture {
    explicit Fixture(std::vector<RecordingOutput::Port> ports) : out(std::move(ports)) {}
    RecordingOutput out;
    RecordingNotifier notifier;
    std::vector<int> sleeps;
    PortSession session{out, notifier, [this](std::chrono::milliseconds ms) {
                            sleeps.push_back(static_cast<int>(ms.count()));
                        }};

    void start(int savedIndex, const std::string& savedName)
    {
        session.countPorts();
        session.openRemembered(savedIndex, savedName);
    }
    // The opens, resets and sysex of the run, as "open 0", "sysex 0" ...; a
    // reset is All Notes Off on channels 1 to 16, in order.
    std::vector<std::string> trace() const
    {
        std::vector<std::string> t = out.trace();
        const auto& events = out.events();
        for (std::size_t i = 0, kept = 0; i < events.size(); ++i, ++kept) {
            int channel = 0;
            while (channel < 16 && i + channel < events.size() &&
                   events[i + channel].message == shortMessage(0xB0 | channel, 123))
                ++channel;
            if (channel == 16) {
                t.erase(t.begin() + kept, t.begin() + kept + 16);
                t.insert(t.begin() + kept, "reset " + std::to_string(events[i].port));
                i += 15;
            }
        }
        return t;
    }
};

std::vector<RecordingOutput::Port> threePorts()
{
    return {{"Port A", true}, {"Port B", true}, {"Port C", true}};
}

}  // namespace

TEST(StartUp, FirstRunOpensPortZeroAndResetsItTwice)
{
    Fixture f(threePorts());
    f.start(0, "none");
    EXPECT_EQ(f.trace(), (std::vector<std::string>{"open 0", "sysex 0", "close 0", "open 0", "sysex 0"}));
    EXPECT_EQ(byteList(f.out.events()[1].message), std::vector<std::uint8_t>(kGsReset.begin(), kGsReset.end()));
    EXPECT_EQ(f.sleeps, (std::vector<int>{100, 100}));
    EXPECT_EQ(f.session.portName(), "Port A");
    EXPECT_TRUE(f.notifier.failures.empty());
}

TEST(StartUp, RememberedPortWithItsNameIsOpenedOnce)
{
    Fixture f(threePorts());
    f.start(2, "Port C");
    EXPECT_EQ(f.trace(), (std::vector<std::string>{"open 2", "sysex 2"}));
    EXPECT_EQ(f.session.portIndex(), 2);
    EXPECT_EQ(f.session.portName(), "Port C");
}

TEST(StartUp, IndexThatNamesNoPortFallsBackToPortZero)
{
    for (int saved : {3, 4, 1000, -1, -2147483647 - 1}) {
        Fixture f(threePorts());
        f.start(saved, "Port A");
        EXPECT_EQ(f.trace(), (std::vector<std::string>{"open 0", "sysex 0"})) << saved;
        EXPECT_EQ(f.session.portIndex(), 0) << saved;
        // Port 0 is opened straight away, not after a failed open and its message.
        EXPECT_TRUE(f.notifier.failures.empty()) << saved;
    }
}

TEST(StartUp, NameThatNoLongerMatchesFallsBackToPortZero)
{
    Fixture f(threePorts());
    f.start(1, "Some Other Module");
    EXPECT_EQ(f.trace(), (std::vector<std::string>{"open 1", "sysex 1", "close 1", "open 0", "sysex 0"}));
    EXPECT_EQ(f.session.portIndex(), 0);
    EXPECT_EQ(f.session.portName(), "Port A");
}

// A name the settings file cannot keep as it is (a line break, blanks at its
// ends) is still the remembered port's at the next start.
TEST(StartUp, RememberedNameWithControlCharactersStillMatches)
{
    const std::string name = "\tBus\n1\r ";
    IniFile file;
    Settings remembered;
    remembered.deviceIndex = 1;
    remembered.deviceName = name;
    writeSettings(file, remembered);
    const Settings saved = readSettings(IniFile::parse(file.serialize()));
    ASSERT_EQ(saved.deviceName, "Bus 1");

    Fixture f({{"Port A", true}, {name, true}});
    f.start(saved.deviceIndex, saved.deviceName);
    EXPECT_EQ(f.trace(), (std::vector<std::string>{"open 1", "sysex 1"}));
    EXPECT_EQ(f.session.portIndex(), 1);
}

TEST(StartUp, NoPortsAtAllShowsBothMessagesInOrder)
{
    Fixture f({});
    f.start(0, "none");
    // The first open fails, its name is empty and differs from "none", so
    // the fallback open is tried and fails too.
    EXPECT_EQ(f.notifier.failures, (std::vector<Failure>{Failure::NoPorts, Failure::PortOpenFailed, Failure::PortOpenFailed}));
    EXPECT_EQ(f.session.portIndex(), 0);
    EXPECT_EQ(f.session.portName(), "");
    EXPECT_TRUE(f.out.events().empty());
}

TEST(PortChange, WrapsAroundThreePorts)
{
    Fixture f(threePorts());
    f.start(0, "Port A");
    std::vector<int> visited;
    for (int i = 0; i < 4; ++i) {
        f.session.changePort();
        visited.push_back(f.session.portIndex());
    }
    EXPECT_EQ(visited, (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(f.session.portName(), "Port B");
    // Each change: close, open, platform reset, GS Reset, then a 200 ms wait.
    const auto t = f.trace();
    EXPECT_EQ(std::vector<std::string>(t.end() - 4, t.end()),
              (std::vector<std::string>{"close 0", "open 1", "reset 1", "sysex 1"}));
    EXPECT_EQ(f.sleeps.back(), 200);
}

TEST(PortChange, FailedOpenIsReportedAndLaterSendsAreDropped)
{
    Fixture f({{"Port A", true}, {"Broken", false}});
    f.start(0, "Port A");
    f.out.clearEvents();
    f.session.changePort();
    EXPECT_EQ(f.notifier.failures, (std::vector<Failure>{Failure::PortOpenFailed}));
    EXPECT_EQ(f.session.portIndex(), 1);
    EXPECT_EQ(f.session.portName(), "");
    f.session.send(releaseMessage(36));
    EXPECT_EQ(f.trace(), (std::vector<std::string>{"close 0"}));
    f.session.changePort();  // back to a working port
    EXPECT_EQ(f.session.portName(), "Port A");
}

TEST(PortNames, ClippedToThirtyTwoBytesOnACharacterBoundary)
{
    EXPECT_EQ(clipPortName(std::string(40, 'x')), std::string(32, 'x'));
    // 31 ASCII bytes then a three-byte character: the character would straddle byte 32.
    const std::string name = std::string(31, 'a') + "音源";
    EXPECT_EQ(clipPortName(name), std::string(31, 'a'));
    EXPECT_EQ(clipPortName("short"), "short");
}

TEST(PortNames, AlsaAddressIsNotPartOfTheName)
{
    EXPECT_EQ(stablePortName("SC-8850:SC-8850 MIDI 1 20:0"), "SC-8850:SC-8850 MIDI 1");
    EXPECT_EQ(stablePortName("Midi Through:Midi Through Port-0 14:0"), "Midi Through:Midi Through Port-0");
    EXPECT_EQ(stablePortName("Synth 2:1x"), "Synth 2:1x");  // not an address
    EXPECT_EQ(stablePortName("14:0"), "14:0");
    EXPECT_EQ(stablePortName("Module :0"), "Module :0");
}

TEST(ChainedOutput, NumbersPortsAcrossBackendsAndRoutesToTheOpenOne)
{
    auto first = std::make_unique<RecordingOutput>(std::vector<RecordingOutput::Port>{{"Synth", true}});
    auto second = std::make_unique<RecordingOutput>(
        std::vector<RecordingOutput::Port>{{"Ext 1", true}, {"Ext 2", true}});
    RecordingOutput& a = *first;
    RecordingOutput& b = *second;
    ChainedOutput chain;
    chain.append(std::move(first));
    chain.append(std::move(second));
    EXPECT_EQ(chain.portCount(), 3);
    EXPECT_EQ(chain.portName(2), "Ext 2");
    EXPECT_EQ(chain.portName(3), "");
    EXPECT_FALSE(chain.open(-1));
    ASSERT_TRUE(chain.open(2));
    chain.send(releaseMessage(1));
    ASSERT_TRUE(chain.open(0));  // opening another port closes the first
    chain.send(releaseMessage(2));
    EXPECT_EQ(b.shortWords(), std::vector<std::uint32_t>{packed(releaseMessage(1))});
    EXPECT_EQ(a.shortWords(), std::vector<std::uint32_t>{packed(releaseMessage(2))});
    EXPECT_EQ(b.openPort(), -1);
    chain.close();
    chain.send(releaseMessage(3));  // dropped
    EXPECT_EQ(a.shortWords().size(), 1u);
}

TEST(ChainedOutput, BackendsMadeInTheBackgroundAreWaitedForAndOneThatIsMissingAddsNoPort)
{
    RecordingOutput* made = nullptr;
    ChainedOutput chain;
    // No built-in synth here, and the ports take a while to list.
    chain.append(ChainedOutput::Factory([] { return std::unique_ptr<MidiOutput>(); }));
    chain.append(ChainedOutput::Factory([&made] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        auto out = std::make_unique<RecordingOutput>(threePorts());
        made = out.get();
        return out;
    }));
    RecordingNotifier notifier;
    PortSession session(chain, notifier, {});
    session.countPorts();
    session.openRemembered(1, "Port B");
    EXPECT_EQ(session.portName(), "Port B");
    EXPECT_TRUE(notifier.failures.empty());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->openPort(), 1);
    ASSERT_FALSE(made->events().empty());
    EXPECT_EQ(made->trace().back(), "sysex 1");  // the GS Reset
}

TEST(PortList, PortPluggedInAfterStartIsListedOnRefreshAndTheOpenPortKeepsItsPlace)
{
    Fixture f({{"Port A", true}, {"Port B", true}});
    f.start(1, "Port B");
    f.out.ports() = {{"Late 1", true}, {"Port A", true}, {"Port B", true}, {"Late 2", true}};
    // Until the list is taken again, the port button cycles over the ports of the start.
    f.session.changePort();
    f.session.changePort();
    EXPECT_EQ(f.session.portName(), "Port B");
    EXPECT_EQ(f.session.portCount(), 2);

    f.session.refreshPorts();
    EXPECT_EQ(f.session.portNames(), (std::vector<std::string>{"Late 1", "Port A", "Port B", "Late 2"}));
    EXPECT_EQ(f.session.portIndex(), 2);
    EXPECT_EQ(f.session.openPortIndex(), 2);
    f.out.clearEvents();
    f.session.send(releaseMessage(36));
    EXPECT_EQ(f.trace(), (std::vector<std::string>{"short 2"}));  // still Port B, no reopen

    // The port button now wraps over the new count.
    f.session.changePort();
    EXPECT_EQ(f.session.portName(), "Late 2");
    f.session.changePort();
    EXPECT_EQ(f.session.portName(), "Late 1");
    EXPECT_TRUE(f.notifier.failures.empty());
}

TEST(PortList, ChosenPortIsOpenedAndResetLikeAPortChange)
{
    Fixture f(threePorts());
    f.start(0, "Port A");
    f.out.ports().push_back({"Port D", true});
    f.session.refreshPorts();
    f.out.clearEvents();
    f.sleeps.clear();
    f.session.choosePort(3);
    EXPECT_EQ(f.trace(), (std::vector<std::string>{"close 0", "open 3", "reset 3", "sysex 3"}));
    EXPECT_EQ(byteList(f.out.events().back().message), std::vector<std::uint8_t>(kGsReset.begin(), kGsReset.end()));
    EXPECT_EQ(f.sleeps, std::vector<int>{200});
    EXPECT_EQ(f.session.portIndex(), 3);
    EXPECT_EQ(f.session.portName(), "Port D");
    EXPECT_EQ(f.session.openPortIndex(), 3);
    EXPECT_TRUE(f.notifier.failures.empty());
}

TEST(PortList, PortGoneBeforeItIsChosenFailsToOpenAndThePortListStillWorks)
{
    Fixture f(threePorts());
    f.start(0, "Port A");
    f.session.refreshPorts();
    f.out.ports().erase(f.out.ports().begin() + 1);  // Port B unplugged while the menu shows it
    f.session.choosePort(1);
    EXPECT_EQ(f.notifier.failures, (std::vector<Failure>{Failure::PortOpenFailed}));
    EXPECT_EQ(f.session.portName(), "");
    EXPECT_EQ(f.session.openPortIndex(), -1);
    f.out.clearEvents();
    f.session.send(releaseMessage(36));
    EXPECT_TRUE(f.out.events().empty());
    f.session.choosePort(2);
    EXPECT_EQ(f.session.portName(), "Port C");
    f.session.refreshPorts();
    EXPECT_EQ(f.session.portNames(), (std::vector<std::string>{"Port A", "Port C"}));
    EXPECT_EQ(f.session.openPortIndex(), 1);
}

TEST(PortList, OpenPortThatWentAwayIsNotCheckedAndKeepsItsNumber)
{
    Fixture f(threePorts());
    f.start(1, "Port B");
    f.out.ports() = {{"Port C", true}};
    f.session.refreshPorts();
    EXPECT_EQ(f.session.openPortIndex(), -1);
    EXPECT_EQ(f.session.portIndex(), 1);
    EXPECT_EQ(f.session.portName(), "Port B");  // what is remembered until another port opens
    f.session.changePort();
    EXPECT_EQ(f.session.portName(), "Port C");
    EXPECT_EQ(f.session.openPortIndex(), 0);
}

TEST(PortList, PortsOfTheSameNameInTwoBackendsAreToldApart)
{
    auto synth = std::make_unique<RecordingOutput>(std::vector<RecordingOutput::Port>{{"Module", true}});
    auto external = std::make_unique<RecordingOutput>(std::vector<RecordingOutput::Port>{{"Module", true}});
    RecordingOutput& first = *synth;
    ChainedOutput chain;
    chain.append(std::move(synth));
    chain.append(std::move(external));
    EXPECT_NE(chain.portKey(0), chain.portKey(1));
    EXPECT_EQ(chain.portKey(2), "");

    RecordingNotifier notifier;
    PortSession session(chain, notifier, {});
    session.countPorts();
    session.openRemembered(1, "Module");
    ASSERT_EQ(session.openPortIndex(), 1);
    first.ports().push_back({"Other", true});
    session.refreshPorts();
    EXPECT_EQ(session.portNames(), (std::vector<std::string>{"Module", "Other", "Module"}));
    EXPECT_EQ(session.openPortIndex(), 2);
    EXPECT_EQ(session.portIndex(), 2);
}
