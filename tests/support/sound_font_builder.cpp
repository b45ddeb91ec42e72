#include "tests/support/sound_font_builder.h"

namespace padscope::test {

namespace {

using Bytes = std::string;

void put16(Bytes& out, unsigned value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void put32(Bytes& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void name20(Bytes& out, const std::string& name)
{
    Bytes field = name.substr(0, 19);
    field.resize(20, '\0');
    out += field;
}

Bytes chunk(const char* id, const Bytes& data)
{
    Bytes out(id, 4);
    put32(out, static_cast<std::uint32_t>(data.size()));
    out += data;
    if (data.size() % 2)
        out += '\0';
    return out;
}

Bytes list(const char* type, const Bytes& chunks) { return chunk("LIST", Bytes(type, 4) + chunks); }

constexpr int kFrames = 2000, kPadding = 46;

}  // namespace

std::string soundFontWith(const std::vector<BuiltKit>& kits, int sampleCount)
{
    Bytes info = chunk("ifil", Bytes("\x02\0\x01\0", 4)) + chunk("isng", Bytes("EMU8000\0", 8))
                 + chunk("INAM", Bytes("Padscope test\0", 14));
    Bytes samples, headers;
    for (int s = 0; s < sampleCount; ++s) {
        const std::uint32_t start = static_cast<std::uint32_t>(samples.size() / 2);
        const int period = 20 + 10 * s;
        for (int frame = 0; frame < kFrames; ++frame)
            put16(samples, static_cast<std::uint16_t>(frame % period < period / 2 ? 8000 : -8000));
        samples.append(2 * kPadding, '\0');
        name20(headers, "sample " + std::to_string(s));
        for (std::uint32_t value : {start, start + kFrames, start + 8, start + kFrames - 8, 44100u})
            put32(headers, value);
        headers += '\x3C';  // root key 60
        headers += '\0';
        put16(headers, 0);
        put16(headers, 1);  // mono
    }
    name20(headers, "EOS");
    headers.append(26, '\0');

    Bytes phdr, pbag, pgen, inst, ibag, igen;
    unsigned presetBags = 0, presetGenerators = 0, instrumentBags = 0, instrumentGenerators = 0;
    for (std::size_t k = 0; k < kits.size(); ++k) {
        const BuiltKit& kit = kits[k];
        name20(phdr, kit.name);
        put16(phdr, static_cast<unsigned>(kit.program));
        put16(phdr, 128);
        put16(phdr, presetBags);
        phdr.append(12, '\0');
        if (!kit.global.empty()) {
            put16(pbag, presetGenerators);
            put16(pbag, 0);
            ++presetBags;
            for (const auto& [kind, amount] : kit.global) {
                put16(pgen, kind);
                put16(pgen, amount);
                ++presetGenerators;
            }
        }
        put16(pbag, presetGenerators);
        put16(pbag, 0);
        ++presetBags;
        put16(pgen, 41);
        put16(pgen, static_cast<unsigned>(k));
        ++presetGenerators;

        name20(inst, kit.name);
        put16(inst, instrumentBags);
        for (const BuiltZone& zone : kit.zones) {
            put16(ibag, instrumentGenerators);
            put16(ibag, 0);
            ++instrumentBags;
            put16(igen, 43);
            put16(igen, static_cast<unsigned>(zone.lowKey | zone.highKey << 8));
            put16(igen, 53);
            put16(igen, static_cast<unsigned>(zone.sample));
            instrumentGenerators += 2;
        }
    }
    name20(phdr, "EOP");
    phdr.append(18, '\0');
    phdr.replace(phdr.size() - 14, 2, Bytes{static_cast<char>(presetBags & 0xFF), static_cast<char>(presetBags >> 8)});
    put16(pbag, presetGenerators);
    put16(pbag, 0);
    pgen.append(4, '\0');
    name20(inst, "EOI");
    put16(inst, instrumentBags);
    put16(ibag, instrumentGenerators);
    put16(ibag, 0);
    igen.append(4, '\0');

    const Bytes pdta = chunk("phdr", phdr) + chunk("pbag", pbag) + chunk("pmod", Bytes(10, '\0')) + chunk("pgen", pgen)
                       + chunk("inst", inst) + chunk("ibag", ibag) + chunk("imod", Bytes(10, '\0'))
                       + chunk("igen", igen) + chunk("shdr", headers);
    const Bytes body = Bytes("sfbk", 4) + list("INFO", info) + list("sdta", chunk("smpl", samples)) + list("pdta", pdta);
    return chunk("RIFF", body);
}

}  // namespace padscope::test
