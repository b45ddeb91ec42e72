#include "ui/pad_page.h"

#include "ui/fonts.h"
#include "ui/key_release_filter.h"
#include "ui/pad_button.h"
#include "ui/placed_label.h"

#include <QLabel>

namespace padscope {

namespace {

struct Heading {
    int label;  // LabelN
    const char* caption;
    int left, top;
};

// Note names at the left edge, one per row of each block.
constexpr Heading kNoteNames[] = {
    {3, "C", 8, 24},     {4, "C#", 0, 40},    {5, "D", 8, 56},     {6, "D#", 0, 72},
    {7, "E", 8, 88},     {8, "F", 8, 104},    {9, "F#", 0, 120},   {11, "G", 8, 136},
    {12, "G#", 0, 152},  {13, "A", 8, 168},   {37, "A#", 0, 184},  {14, "B", 8, 200},
    {10, "C", 8, 248},   {26, "C#", 0, 264},  {27, "D", 8, 280},   {28, "D#", 0, 296},
    {29, "E", 8, 312},   {30, "F", 8, 328},   {31, "F#", 0, 344},  {33, "G", 8, 360},
    {32, "G#", 0, 376},  {34, "A", 8, 392},   {35, "A#", 0, 406},  {36, "B", 8, 422},
};

// Octave numbers above the columns.
constexpr Heading kOctaves[] = {
    {15, "-1", 80, 0},  {16, "0", 209, 0},  {17, "1", 338, 0},  {18, "2", 472, 0},
    {19, "3", 592, 0},  {20, "4", 80, 224}, {21, "5", 208, 224}, {22, "6", 336, 224},
    {23, "7", 464, 224}, {24, "8", 594, 224}, {25, "9", 728, 224},
};

void addHeadings(QWidget* page, const auto& headings, int pixelSize)
{
    for (const Heading& h : headings) {
        auto* label = new QLabel(QString::fromLatin1(h.caption), page);
        label->setFont(uiFont(pixelSize));
        placeLabel(label, QStringLiteral("Label%1").arg(h.label), {h.left, h.top});
    }
}

}  // namespace

PadPage::PadPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet1"));
    releases_ = new KeyReleaseFilter(this);
    for (int note = 0; note < kPadCount; ++note) {
        const int octave = note / 12;
        const int row = note % 12;
        const bool upper = octave < 5;
        const int left = 24 + 128 * (upper ? octave : octave - 5);
        const int top = (upper ? 24 : 248) + 16 * row;
        auto* pad = new PadButton(note, releases_, this);
        pad->setObjectName(QStringLiteral("Button%1").arg(note + 1));
        pad->setGeometry(left, top, octave == 10 ? 127 : 129, 17);
        pads_[static_cast<std::size_t>(note)] = pad;
    }
    portButton_ = new QPushButton(tr("音源の変更"), this);
    portButton_->setObjectName(QStringLiteral("Button129"));
    portButton_->setGeometry(680, 384, 97, 17);

    addHeadings(this, kNoteNames, 16);
    addHeadings(this, kOctaves, 20);

    // Focus moves through the pads in note order, then to the port button.
    for (std::size_t i = 1; i < pads_.size(); ++i)
        setTabOrder(pads_[i - 1], pads_[i]);
    setTabOrder(pads_.back(), portButton_);
}

}  // namespace padscope
