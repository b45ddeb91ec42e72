#pragma once

#include <cstdint>
#include <span>

namespace padscope {

// Cuts one incoming event into the messages that go on, byte for byte: a
// system exclusive message runs to its F7 and may hold real-time bytes
// (F8..FF); any other status byte ends it, and a system exclusive message so
// ended, or left open at the end of the event, is dropped, never joined to
// what follows. Everything else goes on as it came, malformed or not. Takes
// no lock and allocates nothing: it runs in the JACK process callback.
template <typename Emit>
void splitIncoming(std::span<const std::uint8_t> bytes, Emit&& emit)
{
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = start + 1;
        if (bytes[start] != 0xF0) {
            while (end < bytes.size() && bytes[end] != 0xF0)
                ++end;
            emit(bytes.subspan(start, end - start));
            start = end;
            continue;
        }
        while (end < bytes.size() && (bytes[end] < 0x80 || bytes[end] >= 0xF8))
            ++end;
        if (end < bytes.size() && bytes[end] == 0xF7) {
            emit(bytes.subspan(start, end + 1 - start));
            ++end;
        }
        start = end;
    }
}

}  // namespace padscope
