#include "core/midi/drum_sound_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace padscope;

namespace {

std::string lines(const std::vector<MidiMessage>& messages) { return hexLines(messages); }

// Snare (38) of kit 1 on the SC-8850 map: an octave down and well left.
DrumEdits snareDownAndLeft(int map = 4)
{
    DrumEdits edits;
    edits.set(map, 0, 38, DrumParameter::Pan, 20);
    edits.set(map, 0, 38, DrumParameter::Pitch, 0x40 - 12);
    return edits;
}

}  // namespace

TEST(DrumSound, EditsMakeNrpnInParameterOrderThenNull)
{
    const DrumEdits edits = snareDownAndLeft();
    EXPECT_EQ(lines(drumSoundMessages(*edits.find(4, 0, 38), 38, 4)),
              "B9 63 18\nB9 62 26\nB9 06 34\n"
              "B9 63 1C\nB9 62 26\nB9 06 14\n"
              "B9 63 7F\nB9 62 7F\n");
    EXPECT_TRUE(drumSoundMessages(NoteEdit{}, 38, 4).empty());
}

TEST(DrumSound, DelaySendExistsOnEveryMapButTheSc55)
{
    NoteEdit delay;
    delay.values[parameterIndex(DrumParameter::Delay)] = 0;
    EXPECT_EQ(lines(drumSoundMessages(delay, 36, 0)), "B9 63 1F\nB9 62 24\nB9 06 00\nB9 63 7F\nB9 62 7F\n");
    EXPECT_TRUE(drumSoundMessages(delay, 36, 1).empty());

    DrumEdits edits;
    edits.set(1, 0, 36, DrumParameter::Delay, 10);
    EXPECT_TRUE(edits.empty());
    edits.set(2, 0, 36, DrumParameter::Delay, 10);
    EXPECT_FALSE(edits.empty());
}

TEST(DrumSound, ResetsTakeBackWhatWasSetAndLeaveTheRest)
{
    DrumEdits edits = snareDownAndLeft();
    edits.set(4, 0, 36, DrumParameter::Level, 300);  // clamped
    edits.set(4, 8, 36, DrumParameter::Level, 90);
    EXPECT_EQ(edits.find(4, 0, 36)->value(DrumParameter::Level), 127);

    edits.set(4, 0, 38, DrumParameter::Pan, std::nullopt);
    EXPECT_EQ(edits.find(4, 0, 38)->value(DrumParameter::Pan), std::nullopt);
    EXPECT_EQ(edits.find(4, 0, 38)->value(DrumParameter::Pitch), 0x34);
    edits.resetNote(4, 0, 38);
    EXPECT_EQ(edits.find(4, 0, 38), nullptr);
    edits.resetKit(4, 0);
    EXPECT_EQ(edits.kit(4, 0), nullptr);
    EXPECT_EQ((edits.kits()), (std::vector<std::pair<int, int>>{{4, 8}}));
}

TEST(DrumSound, SetUpIsResetMapKitControllersThenEdits)
{
    const DrumEdits edits = snareDownAndLeft(2);
    EXPECT_EQ(lines(drumSoundSetUp(defaultControllerValues(), 2, 0, edits.kit(2, 0))),
              "F0 41 10 42 12 40 00 7F 00 41 F7\n"
              "B9 00 00\nB9 20 02\nC9 00\n"
              "B9 4E 40\nB9 4D 40\nB9 4C 40\nB9 48 40\nB9 4B 40\nB9 49 40\nB9 47 40\nB9 4A 40\nB9 01 00\n"
              "B9 65 00\nB9 64 00\nB9 06 02\nB9 26 00\nB9 65 7F\nB9 64 7F\n"
              "B9 5B 28\nB9 5E 00\nB9 5D 00\nE9 00 40\n"
              "B9 63 18\nB9 62 26\nB9 06 34\nB9 63 1C\nB9 62 26\nB9 06 14\nB9 63 7F\nB9 62 7F\n");
}

TEST(DrumSound, MidiFileHasFormat0HeaderAndOneTrackOfTheRightLength)
{
    const DrumEdits edits = snareDownAndLeft();
    const std::string file = standardMidiFile(drumSoundSong(defaultControllerValues(), 4, 0, edits.kit(4, 0)));
    ASSERT_GT(file.size(), 22u);
    EXPECT_EQ(file.substr(0, 14), std::string("MThd\0\0\0\6\0\0\0\1\1\xE0", 14));
    EXPECT_EQ(file.substr(14, 4), "MTrk");
    const auto length = static_cast<std::size_t>(static_cast<unsigned char>(file[18]) << 24
                                                 | static_cast<unsigned char>(file[19]) << 16
                                                 | static_cast<unsigned char>(file[20]) << 8
                                                 | static_cast<unsigned char>(file[21]));
    EXPECT_EQ(length, file.size() - 22);
    EXPECT_EQ(file.substr(file.size() - 3), std::string("\xFF\x2F\x00", 3));
}

TEST(DrumSound, ReaderFollowsNrpnOnChannel10Only)
{
    DrumSoundReader reader;
    using Change = DrumSoundReader::Change;
    auto read = [&reader](std::vector<std::uint8_t> bytes) { return reader.read(bytes); };
    EXPECT_EQ(read({0xB9, 0x06, 0x40}), std::nullopt);  // nothing chosen yet
    EXPECT_EQ(read({0xB9, 0x63, 0x1C}), std::nullopt);
    EXPECT_EQ(read({0xB9, 0x62, 0x26}), std::nullopt);
    EXPECT_EQ(read({0xB9, 0x06, 0x14}), (Change{38, DrumParameter::Pan, 0x14}));
    EXPECT_EQ(read({0xB9, 0x06, 0x15}), (Change{38, DrumParameter::Pan, 0x15}));  // data entry again
    EXPECT_EQ(read({0xB0, 0x06, 0x16}), std::nullopt);                            // another channel
    EXPECT_EQ(read({0xB9, 0x63, 0x20}), std::nullopt);
    EXPECT_EQ(read({0xB9, 0x06, 0x16}), std::nullopt);  // not a drum parameter
    EXPECT_EQ(read({0xB9, 0x63, 0x18}), std::nullopt);
    EXPECT_EQ(read({0xB9, 0x65, 0x00}), std::nullopt);  // an RPN takes Data Entry
    EXPECT_EQ(read({0xB9, 0x06, 0x02}), std::nullopt);
    EXPECT_EQ(read({0xB9, 0x63, 0x18}), std::nullopt);
    EXPECT_EQ(read({0xB9, 0x62, 0x24}), std::nullopt);
    EXPECT_EQ(read({0xB9, 0x06, 0x34}), (Change{36, DrumParameter::Pitch, 0x34}));
    EXPECT_EQ(read({0xB9, 0x62, 0x7F}), std::nullopt);  // NRPN null
    EXPECT_EQ(read({0xB9, 0x06, 0x34}), std::nullopt);
}
