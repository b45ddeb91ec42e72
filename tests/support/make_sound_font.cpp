// Writes a small SoundFont whose Standard kit (bank 128, program 0) plays a
// square wave on every drum note: a font that sounds like no other.
//   make_sound_font <path>
#include "tests/support/sound_font_builder.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_sound_font <path>\n";
        return 2;
    }
    std::ofstream(argv[1], std::ios::binary) << padscope::test::soundFontWith({{0, "Standard", {{27, 87, 0}}}}, 1);
    return std::ofstream(argv[1], std::ios::app) ? 0 : 1;
}
