#include "program_icon.h"

#include <array>
#include <string_view>

namespace padscope {

namespace {

constexpr int kSide = 32;

// The 16 colours of the classic VGA palette, each named by one character
// in the drawing below.
struct PaletteEntry {
    char key;
    QRgb rgb;
};
constexpr std::array<PaletteEntry, 16> kPalette{{
    {'.', qRgb(0, 0, 0)},       {'m', qRgb(128, 0, 0)},     {'g', qRgb(0, 128, 0)},
    {'o', qRgb(128, 128, 0)},   {'n', qRgb(0, 0, 128)},     {'p', qRgb(128, 0, 128)},
    {'t', qRgb(0, 128, 128)},   {'s', qRgb(192, 192, 192)}, {'d', qRgb(128, 128, 128)},
    {'r', qRgb(255, 0, 0)},     {'l', qRgb(0, 255, 0)},     {'y', qRgb(255, 255, 0)},
    {'b', qRgb(0, 0, 255)},     {'f', qRgb(255, 0, 255)},   {'a', qRgb(0, 255, 255)},
    {'w', qRgb(255, 255, 255)},
}};

// Four pads in a grey case; the top-left one glows, just struck.
constexpr std::array<std::string_view, kSide> kDrawing{{
    "ssssssssssssssssssssssssssssssss",
    "ss............................ss",
    "s.dddddddddddddddddddddddddddd.s",
    "s.dd..........dddd..........dd.s",
    "s.d.yyyyyyyyyr.dd.bbbbbbbbbn.d.s",
    "s.d.yrrrrrrrrm.dd.bnnnnnnnn..d.s",
    "s.d.yrrryyrrrm.dd.bnnnnnnnn..d.s",
    "s.d.yrrywwyrrm.dd.bnnnnnnnn..d.s",
    "s.d.yrywwwwyrm.dd.bnnnnnnnn..d.s",
    "s.d.yrywwwwyrm.dd.bnnnnnnnn..d.s",
    "s.d.yrrywwyrrm.dd.bnnnnnnnn..d.s",
    "s.d.yrrryyrrrm.dd.bnnnnnnnn..d.s",
    "s.d.yrrrrrrrrm.dd.bnnnnnnnn..d.s",
    "s.d.rmmmmmmmmm.dd.n..........d.s",
    "s.dd..........dddd..........dd.s",
    "s.dddddddddddddddddddddddddddd.s",
    "s.dddddddddddddddddddddddddddd.s",
    "s.dd..........dddd..........dd.s",
    "s.d.bbbbbbbbbn.dd.bbbbbbbbbn.d.s",
    "s.d.bnnnnnnnn..dd.bnnnnnnnn..d.s",
    "s.d.bnnnnnnnn..dd.bnnnnnnnn..d.s",
    "s.d.bnnnnnnnn..dd.bnnnnnnnn..d.s",
    "s.d.bnnnnnnnn..dd.bnnnnnnnn..d.s",
    "s.d.bnnnnnnnn..dd.bnnnnnnnn..d.s",
    "s.d.bnnnnnnnn..dd.bnnnnnnnn..d.s",
    "s.d.bnnnnnnnn..dd.bnnnnnnnn..d.s",
    "s.d.bnnnnnnnn..dd.bnnnnnnnn..d.s",
    "s.d.n..........dd.n..........d.s",
    "s.dd..........dddd..........dd.s",
    "s.dddddddddddddddddddddddddddd.s",
    "ss............................ss",
    "ssssssssssssssssssssssssssssssss",
}};

constexpr int paletteIndex(char key)
{
    for (std::size_t i = 0; i < kPalette.size(); ++i)
        if (kPalette[i].key == key)
            return static_cast<int>(i);
    return -1;
}

constexpr bool drawingIsValid()
{
    for (std::string_view row : kDrawing) {
        if (row.size() != kSide)
            return false;
        for (char c : row)
            if (paletteIndex(c) < 0)
                return false;
    }
    return true;
}
static_assert(drawingIsValid(), "every row is 32 pixels of palette keys");

}  // namespace

QImage programImage()
{
    QImage image(kSide, kSide, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (const PaletteEntry& entry : kPalette)
        colours.append(entry.rgb);
    image.setColorTable(colours);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            image.setPixel(x, y, static_cast<uint>(paletteIndex(kDrawing[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)])));
    return image;
}

QPixmap programPixmap()
{
    return QPixmap::fromImage(programImage());
}

}  // namespace padscope
