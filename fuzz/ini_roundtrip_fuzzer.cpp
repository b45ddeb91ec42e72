// Feeds arbitrary bytes to the settings file reader, applies writes built from
// the rest of the input, and checks that what the writer renders reads back
// as the very same sections and lines.
#include "core/settings/ini_file.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// A name or value that the file keeps exactly as given: one line, nothing
// blank or control at either end.
bool keptAsIs(const std::string& text)
{
    if (text.find_first_of("\r\n") != std::string::npos)
        return false;
    auto blank = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7F;
    };
    return text.empty() || (!blank(text.front()) && !blank(text.back()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string text = input.ConsumeRandomLengthString();
    padscope::IniFile ini = padscope::IniFile::parse(text);

    for (int writes = 0; writes < 8 && input.remaining_bytes() > 0; ++writes) {
        const std::string section = input.ConsumeRandomLengthString(32);
        const std::string key = input.ConsumeRandomLengthString(32);
        const bool clean = keptAsIs(section) && keptAsIs(key);
        if (input.ConsumeBool()) {
            const int value = input.ConsumeIntegral<int>();
            const bool stored = ini.writeInteger(section, key, value);
            if (stored && clean)
                require(ini.readInteger(section, key, value ^ 1) == value, "integer written reads back");
        } else {
            const std::string value = input.ConsumeRandomLengthString(64);
            const bool stored = ini.writeString(section, key, value);
            if (stored && clean && keptAsIs(value))
                require(ini.readString(section, key, "\x01") == value, "string written reads back");
        }
    }

    const std::string written = ini.serialize();
    const padscope::IniFile reread = padscope::IniFile::parse(written);
    require(reread.entries() == ini.entries(), "same lines after a write and a read");
    require(reread.sectionNames() == ini.sectionNames(), "same sections after a write and a read");
    require(reread.serialize() == written, "same bytes when written again");
    return 0;
}
