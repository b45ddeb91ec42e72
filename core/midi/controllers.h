#pragma once

#include <array>
#include <cstddef>

namespace padscope {

// The controller panel's 15 scroll bars, ScrollBar1 first. Their positions
// are the whole controller state that every pad press sends.
inline constexpr std::size_t kControllerCount = 15;

struct ControllerRange {
    int minimum;
    int maximum;
    int defaultValue;  // also the value a click on the caption label restores
};

inline constexpr std::array<ControllerRange, kControllerCount> kControllerRanges{{
    {0, 127, 100},      // 1  velocity
    {0, 127, 40},       // 2  reverb send
    {0, 127, 0},        // 3  chorus send
    {0, 127, 0},        // 4  delay send
    {-8192, 8191, 0},   // 5  pitch bend
    {0, 24, 2},         // 6  pitch-bend range, semitones
    {0, 127, 0},        // 7  modulation
    {-64, 63, 0},       // 8  cutoff
    {-64, 63, 0},       // 9  resonance
    {-64, 63, 0},       // 10 attack time
    {-64, 63, 0},       // 11 decay time
    {-64, 63, 0},       // 12 release time
    {-64, 63, 0},       // 13 vibrato rate
    {-64, 63, 0},       // 14 vibrato depth
    {-64, 63, 0},       // 15 vibrato delay
}};

// Positions of the 15 bars, index 0 = ScrollBar1.
using ControllerValues = std::array<int, kControllerCount>;

constexpr ControllerValues defaultControllerValues()
{
    ControllerValues values{};
    for (std::size_t i = 0; i < kControllerCount; ++i)
        values[i] = kControllerRanges[i].defaultValue;
    return values;
}

// Named positions in ControllerValues.
enum Controller : std::size_t {
    kVelocity = 0, kReverb, kChorus, kDelay, kPitchBend, kBendRange, kModulation,
    kCutoff, kResonance, kAttack, kDecay, kRelease, kVibratoRate, kVibratoDepth, kVibratoDelay,
};

}  // namespace padscope
