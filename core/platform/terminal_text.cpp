#include "core/platform/terminal_text.h"

#include <array>

namespace padscope {

std::string terminalSafe(std::string_view text)
{
    constexpr std::array<char, 17> digits{"0123456789ABCDEF"};
    std::string safe;
    safe.reserve(text.size());
    const auto escape = [&](unsigned char byte) {
        safe += "\\x";
        safe += digits[byte >> 4];
        safe += digits[byte & 0xF];
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) {
            escape(byte);
        } else if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80
                   && static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            escape(byte);
            escape(static_cast<unsigned char>(text[++i]));
        } else {
            safe += text[i];
        }
    }
    return safe;
}

}  // namespace padscope
