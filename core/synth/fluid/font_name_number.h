#pragma once

#include <charconv>
#include <optional>
#include <string_view>

namespace padscope {

// Takes a number from 0 to 127 off the front of `text`, as the names the
// synth gives its loader write kits, notes and values; nothing, and `text`
// as it was, when none stands there.
inline std::optional<int> takeFontNameNumber(std::string_view& text)
{
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || value < 0 || value > 127)
        return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

}  // namespace padscope
