#include "core/standard_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace padscope {

int writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

int writeStandardOutput(std::string_view program, std::string_view text)
{
    const int error = writeAll(STDOUT_FILENO, text);
    if (error == 0)
        return 0;
    std::fprintf(stderr, "%.*s: cannot write standard output: %s\n", static_cast<int>(program.size()),
                 program.data(), std::strerror(error));
    return 1;
}

std::string escapeControls(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        // C1 controls are two bytes in UTF-8, 0xC2 then 0x80-0x9F.
        const bool c1 = byte == 0xC2 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80;
        if (byte >= 0x20 && byte != 0x7F && !c1) {
            escaped += text[i];
            continue;
        }
        const unsigned control = c1 ? static_cast<unsigned char>(text[++i]) : byte;
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02x", control);
        escaped += hex;
    }
    return escaped;
}

}  // namespace padscope
