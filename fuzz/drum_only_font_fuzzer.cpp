// Feeds arbitrary bytes to the drum-only SoundFont reader, as a whole file and
// as a preset part, and checks that what it rewrites for some kits, as they
// are or made of others, is what it rewrites from its own rewrite of all
// kits, which is how the synth loads them.
#include "core/synth/fluid/drum_only_font.h"

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

void checkRewrites(std::span<const std::uint8_t> presetData, const padscope::KitSet& kits,
                   const padscope::KitLayers& layers)
{
    (void)padscope::wellFormedPresetData(presetData);  // read within bounds, whatever it says
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
    const auto made = padscope::drumOnlyPresetData(presetData, layers);
    require(padscope::drumOnlyPresetData(*all, layers) == made, "the same kits made from the file and from all kits");
    if (made) {
        const auto madeKits = padscope::presetPrograms(*made);
        require(madeKits && (*madeKits & ~padscope::kitsIn(layers)).none(), "no kit made that was not asked for");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const padscope::KitSet kits = padscope::KitSet(input.ConsumeIntegral<std::uint64_t>()) << 64
                                  | padscope::KitSet(input.ConsumeIntegral<std::uint64_t>());
    // A few kits, each made of up to three others.
    padscope::KitLayers layers;
    for (int kit = input.ConsumeIntegralInRange(0, 4); kit > 0; --kit) {
        auto& sources = layers[input.ConsumeIntegralInRange<std::size_t>(0, 127)];
        sources.clear();
        for (int source = input.ConsumeIntegralInRange(1, 3); source > 0; --source)
            sources.push_back(input.ConsumeIntegralInRange(0, 127));
    }
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    std::istringstream file(bytes);
    if (const auto part = padscope::lastPresetPart(file)) {
        require(part->offset + 12 + part->data.size() <= bytes.size(), "no more read than the file holds");
        checkRewrites(part->data, kits, layers);
    } else {
        // Most inputs are not a SoundFont file: read them as a preset part.
        checkRewrites({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, kits, layers);
    }
    return 0;
}
