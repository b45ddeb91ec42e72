// Feeds arbitrary bytes to the drum-only SoundFont reader, as a whole file and
// as a preset part, and checks that what it rewrites for some kits is what it
// rewrites from its own rewrite of all kits, which is how the synth loads them.
#include "drum_only_font.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

void checkRewrites(std::span<const std::uint8_t> presetData, const padscope::KitSet& kits)
{
    const auto all = padscope::drumOnlyPresetData(presetData);
    const auto some = padscope::drumOnlyPresetData(presetData, kits);
    // A damaged kit that is not chosen may leave the others readable.
    if (!all)
        return;
    require(padscope::drumOnlyPresetData(*all) == all, "all kits rewritten again are the same");
    require(padscope::drumOnlyPresetData(*all, kits) == some, "the same kits from the file and from all its kits");
    require(some.has_value(), "some kits refused where all were rewritten");
    const auto allKits = padscope::presetPrograms(*all);
    const auto someKits = padscope::presetPrograms(*some);
    require(allKits && someKits && *someKits == (*allKits & kits), "exactly the chosen kits kept");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const padscope::KitSet kits = padscope::KitSet(input.ConsumeIntegral<std::uint64_t>()) << 64
                                  | padscope::KitSet(input.ConsumeIntegral<std::uint64_t>());
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    std::istringstream file(bytes);
    if (const auto part = padscope::lastPresetPart(file)) {
        require(part->offset + 12 + part->data.size() <= bytes.size(), "no more read than the file holds");
        checkRewrites(part->data, kits);
    } else {
        // Most inputs are not a SoundFont file: read them as a preset part.
        checkRewrites({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, kits);
    }
    return 0;
}
