#include "core/midi/press_messages.h"

#include <gtest/gtest.h>

#include <vector>

using namespace padscope;

namespace {

// Status and two data bytes, Program Change included (its second is 0).
std::vector<int> bytes(const MidiMessage& message)
{
    return {message.status(), message.data1(), message.data2()};
}

std::vector<std::vector<int>> bytesOf(const PressMessages& words)
{
    std::vector<std::vector<int>> out;
    for (auto w : words)
        out.push_back(bytes(w));
    return out;
}

}  // namespace

TEST(PressMessages, DefaultPressOfNote36)
{
    const std::vector<std::vector<int>> expected{
        {0xB9, 0x4E, 0x40}, {0xB9, 0x4D, 0x40}, {0xB9, 0x4C, 0x40}, {0xB9, 0x48, 0x40},
        {0xB9, 0x4B, 0x40}, {0xB9, 0x49, 0x40}, {0xB9, 0x47, 0x40}, {0xB9, 0x4A, 0x40},
        {0xB9, 0x01, 0x00}, {0xB9, 0x00, 0x00}, {0xB9, 0x20, 0x04}, {0xC9, 0x00, 0x00},
        {0xB9, 0x65, 0x00}, {0xB9, 0x64, 0x00}, {0xB9, 0x06, 0x02}, {0xB9, 0x26, 0x00},
        {0xB9, 0x65, 0x7F}, {0xB9, 0x64, 0x7F}, {0xB9, 0x5B, 0x28}, {0xB9, 0x5E, 0x00},
        {0xB9, 0x5D, 0x00}, {0xE9, 0x00, 0x40}, {0x99, 0x24, 0x64}};
    EXPECT_EQ(bytesOf(pressMessages(defaultControllerValues(), 36, 0, 4)), expected);
    // What goes on the wire: a Program Change carries one data byte.
    for (const MidiMessage& message : pressMessages(defaultControllerValues(), 36, 0, 4))
        EXPECT_EQ(message.bytes().size(), message.status() == 0xC9 ? 2u : 3u);
}

TEST(PressMessages, PitchBendEncodingAtTheEndsAndAroundCentre)
{
    const std::pair<int, std::vector<int>> cases[] = {
        {-8192, {0xE9, 0x00, 0x00}}, {-1, {0xE9, 0x7F, 0x3F}}, {0, {0xE9, 0x00, 0x40}},
        {1, {0xE9, 0x01, 0x40}},     {8191, {0xE9, 0x7F, 0x7F}}};
    for (const auto& [position, expected] : cases) {
        auto c = defaultControllerValues();
        c[kPitchBend] = position;
        EXPECT_EQ(bytes(pressMessages(c, 36, 0, 4)[21]), expected) << "bend " << position;
    }
}

TEST(PressMessages, SoundControllersAreCentred)
{
    // Rows 1..8 carry vibrato delay, depth, rate, release, decay, attack, resonance, cutoff.
    const Controller rows[] = {kVibratoDelay, kVibratoDepth, kVibratoRate, kRelease,
                               kDecay,        kAttack,       kResonance,   kCutoff};
    for (std::size_t row = 0; row < std::size(rows); ++row) {
        for (auto [position, sent] : {std::pair{-64, 0x00}, {0, 0x40}, {63, 0x7F}}) {
            auto c = defaultControllerValues();
            c[rows[row]] = position;
            const auto words = pressMessages(c, 36, 0, 4);
            EXPECT_EQ(bytes(words[row])[2], sent) << "row " << row << " at " << position;
        }
    }
}

TEST(PressMessages, RawValuesMapProgramAndNote)
{
    auto c = defaultControllerValues();
    c[kVelocity] = 0;
    c[kReverb] = 127;
    c[kChorus] = 5;
    c[kDelay] = 6;
    c[kBendRange] = 24;
    c[kModulation] = 127;
    const auto w = pressMessages(c, 127, 127, 0);
    EXPECT_EQ(bytes(w[8]), (std::vector<int>{0xB9, 0x01, 0x7F}));
    EXPECT_EQ(bytes(w[10]), (std::vector<int>{0xB9, 0x20, 0x00}));   // map 0
    EXPECT_EQ(bytes(w[11]), (std::vector<int>{0xC9, 0x7F, 0x00}));   // program 127
    EXPECT_EQ(bytes(w[14]), (std::vector<int>{0xB9, 0x06, 0x18}));   // 24 semitones
    EXPECT_EQ(bytes(w[18]), (std::vector<int>{0xB9, 0x5B, 0x7F}));
    EXPECT_EQ(bytes(w[19]), (std::vector<int>{0xB9, 0x5E, 6}));      // delay before chorus
    EXPECT_EQ(bytes(w[20]), (std::vector<int>{0xB9, 0x5D, 5}));
    EXPECT_EQ(bytes(w[22]), (std::vector<int>{0x99, 0x7F, 0x00}));   // velocity 0: silent press
}

TEST(PressMessages, ReleaseAndProgramChange)
{
    EXPECT_EQ(bytes(releaseMessage(60)), (std::vector<int>{0x99, 0x3C, 0x00}));
    EXPECT_EQ(bytes(programChangeMessage(13)), (std::vector<int>{0xC9, 0x0D, 0x00}));
    // Out-of-range input never produces a data byte above 127.
    EXPECT_EQ(bytes(shortMessage(kStatusNoteOn, 300, -5)), (std::vector<int>{0x99, 0x7F, 0x00}));
}
