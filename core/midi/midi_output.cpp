#include "core/midi/midi_output.h"

namespace padscope {

std::string clipPortName(std::string name)
{
    if (name.size() <= kMaxPortNameLength)
        return name;
    std::size_t cut = kMaxPortNameLength;
    // Step back over continuation bytes (10xxxxxx) to the start of the character.
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    name.resize(cut);
    return name;
}

}  // namespace padscope
