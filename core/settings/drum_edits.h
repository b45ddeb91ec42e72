#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace padscope {

// The sound of one drum instrument as the modules let a song shape it per
// note: NRPN MSB 18H..1FH on the drum part, with the note as LSB.
enum class DrumParameter : std::uint8_t { Pitch, Level, Pan, Reverb, Chorus, Delay };
inline constexpr std::size_t kDrumParameterCount = 6;

struct DrumParameterInfo {
    DrumParameter parameter;
    std::uint8_t nrpnMsb;
    std::string_view key;  // its name in the settings file
};

inline constexpr std::array<DrumParameterInfo, kDrumParameterCount> kDrumParameters{{
    {DrumParameter::Pitch, 0x18, "pitch"},  // 40H = as the kit has it, one step a semitone
    {DrumParameter::Level, 0x1A, "level"},
    {DrumParameter::Pan, 0x1C, "pan"},  // 0 random, 1 left .. 40H centre .. 127 right
    {DrumParameter::Reverb, 0x1D, "reverb"},
    {DrumParameter::Chorus, 0x1E, "chorus"},
    {DrumParameter::Delay, 0x1F, "delay"},  // delay send on GS, variation send on XG
}};

inline constexpr int kSc55Map = 1;

// The SC-55 has no delay effect, so its map has no delay send.
constexpr bool mapHasParameter(int map, DrumParameter parameter)
{
    return parameter != DrumParameter::Delay || map != kSc55Map;
}

constexpr std::size_t parameterIndex(DrumParameter parameter) { return static_cast<std::size_t>(parameter); }

// One note's edits: the data byte to send per parameter, none where the
// user left the module's own value alone.
struct NoteEdit {
    std::array<std::optional<std::uint8_t>, kDrumParameterCount> values{};

    bool empty() const
    {
        for (const auto& v : values)
            if (v)
                return false;
        return true;
    }
    std::optional<int> value(DrumParameter p) const
    {
        const auto& v = values[parameterIndex(p)];
        return v ? std::optional<int>(*v) : std::nullopt;
    }
    bool operator==(const NoteEdit&) const = default;
};

// Every edit the user made, per map and kit (0-based program).
class DrumEdits {
public:
    using KitEdits = std::map<int, NoteEdit>;  // by note, only notes with edits

    // The note's edits; nullptr when it has none.
    const NoteEdit* find(int map, int program, int note) const;
    const KitEdits* kit(int map, int program) const;
    // Sets one parameter, clamped to 0..127; nothing makes it unchanged
    // again. A parameter the map lacks, or a note, map or program out of
    // range, is not stored.
    void set(int map, int program, int note, DrumParameter parameter, std::optional<int> value);
    void resetNote(int map, int program, int note);
    void resetKit(int map, int program);

    bool empty() const { return kits_.empty(); }
    // Map and program of every kit with edits, in order.
    std::vector<std::pair<int, int>> kits() const;

    bool operator==(const DrumEdits&) const = default;

private:
    std::map<std::pair<int, int>, KitEdits> kits_;
};

// A kit's edits as the settings file keeps them: "36:pitch=52,pan=20 38:level=90".
std::string kitEditsText(const DrumEdits::KitEdits& edits);
// Reads that text into `edits` for the map and program; items it cannot
// read are passed over.
void readKitEdits(std::string_view text, int map, int program, DrumEdits& edits);
// The settings key of a map and kit, "4.25", and back.
std::string kitEditsKey(int map, int program);
std::optional<std::pair<int, int>> parseKitEditsKey(std::string_view key);

}  // namespace padscope
