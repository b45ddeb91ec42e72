// The main window's layout checked against a table written out by hand, not
// taken from the program's own tables.
#include "tests/window/window_fixture.h"

#include <QTabWidget>
#include <QTest>

using namespace padscope;
using namespace padscope::test;

namespace {

struct Placed {
    int number;
    const char* caption;
    int left, top;
};

constexpr Placed kKits[] = {
    {130, "STANDARD 1", 24, 488},      {131, "STANDARTD 2", 128, 488},   {132, "STANDARD L/R", 232, 488},
    {133, "ROOM", 336, 488},           {134, "HIP HOP", 440, 488},       {135, "JUNGLE", 544, 488},
    {136, "TECHNO", 648, 488},         {137, "ROOM L/R", 24, 504},       {138, "HOUSE", 128, 504},
    {139, "POWER", 232, 504},          {140, "ELECTRONIC", 336, 504},    {141, "TR-808", 440, 504},
    {142, "DANCE", 544, 504},          {143, "CR-78", 648, 504},         {144, "TR-606", 24, 520},
    {145, "TR-707", 128, 520},         {146, "TR-909", 232, 520},        {147, "JAZZ", 336, 520},
    {148, "JAZZ L/R", 440, 520},       {149, "BRUSH", 544, 520},         {150, "BRUSH 2", 648, 520},
    {151, "BRUSH 2 L/R", 24, 536},     {152, "ORCHESTRA", 128, 536},     {153, "ETHNIC", 232, 536},
    {154, "KICK and SNARE", 336, 536}, {155, "KICK and SNARE 2", 440, 536}, {156, "ASIA", 544, 536},
    {157, "CYM and CLAPS", 648, 536},  {158, "GAMELAN 1", 24, 552},      {159, "GAMELAN 2", 128, 552},
    {160, "SFX", 232, 552},            {161, "RHYTHM FX", 336, 552},     {162, "RHYTHM FX 2", 440, 552},
    {163, "RHYTHM FX 3", 544, 552},    {164, "SFX 2", 648, 552},         {165, "VOICE", 440, 568},
    {166, "CYM and CLPS 2", 544, 568}, {167, "CM64/32L", 648, 568},
};

// The fixed labels of the status strip and the pads' headings.
constexpr Placed kLabels[] = {
    {1, "音源名", 16, 576},   {73, "マップ=", 264, 576},   {50, "プログラムナンバー＝", 16, 592},
    {51, "音名＝", 168, 592}, {2, nullptr, 56, 576},       {74, nullptr, 304, 576},
    {49, nullptr, 132, 592}, {52, nullptr, 216, 592},     {48, nullptr, 448, 592},
    {3, "C", 8, 24},          {4, "C#", 0, 40},            {14, "B", 8, 200},
    {37, "A#", 0, 184},       {10, "C", 8, 248},           {35, "A#", 0, 406},
    {36, "B", 8, 422},        {33, "G", 8, 360},           {32, "G#", 0, 376},
    {15, "-1", 80, 0},        {18, "2", 472, 0},           {19, "3", 592, 0},
    {20, "4", 80, 224},       {24, "8", 594, 224},         {25, "9", 728, 224},
};

// Pads: Button number, left, top, width.
constexpr int kPads[][4] = {
    {1, 24, 24, 129},   {12, 24, 200, 129},  {13, 152, 24, 129}, {37, 408, 24, 129},
    {60, 536, 200, 129}, {61, 24, 248, 129}, {72, 24, 424, 129}, {109, 536, 248, 129},
    {121, 664, 248, 127}, {128, 664, 360, 127},
};

class Layout : public WindowFixture {
protected:
    void SetUp() override { start(); }
};

}  // namespace

TEST_F(Layout, KitButtonsSitInSixRowsWithTheirCaptions)
{
    for (const Placed& kit : kKits) {
        QPushButton* b = button(kit.number);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(shownCaption(b), kit.caption) << kit.number;
        EXPECT_EQ(b->geometry(), QRect(kit.left, kit.top, 105, 17)) << kit.number;
        EXPECT_EQ(b->parentWidget(), window.get()) << kit.number;
    }
}

TEST_F(Layout, StatusStripAndHeadingsStandWhereTheyBelong)
{
    for (const Placed& l : kLabels) {
        auto* label = find<QLabel>(QStringLiteral("Label%1").arg(l.number));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->pos(), QPoint(l.left, l.top)) << l.number;
        if (l.caption) {
            EXPECT_EQ(label->text(), QString::fromUtf8(l.caption)) << l.number;
        }
    }
    EXPECT_TRUE(labelText(48).startsWith(QStringLiteral("Padscope version 1.1  ")));
    EXPECT_EQ(find<QLabel>(QStringLiteral("Label50"))->font().pixelSize(), 12);
    EXPECT_EQ(find<QLabel>(QStringLiteral("Label3"))->font().pixelSize(), 16);
    EXPECT_EQ(find<QLabel>(QStringLiteral("Label15"))->font().pixelSize(), 20);
}

TEST_F(Layout, PadsAndThePortButtonFillTheirGrid)
{
    for (const auto& p : kPads)
        EXPECT_EQ(pad(p[0])->geometry(), QRect(p[1], p[2], p[3], 17)) << "pad " << p[0];
    QPushButton* port = button(129);
    EXPECT_EQ(port->text(), QStringLiteral("音源の変更"));
    EXPECT_EQ(port->geometry(), QRect(680, 384, 97, 17));
    EXPECT_EQ(find<QWidget>(QStringLiteral("PageControl1"))->geometry(), QRect(0, 0, 801, 473));
    EXPECT_EQ(find<QWidget>(QStringLiteral("Panel1"))->geometry(), QRect(16, 225, 761, 2));
}

// Tab order: the kit buttons in number order, the page control, the pads in
// note order, then the port button; the first kit button holds the focus
// when the window first shows.
TEST_F(Layout, FocusStartsOnTheFirstKitButtonAndFollowsTheTabOrder)
{
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(QApplication::focusWidget(), button(130));

    // Every kit is enabled in the SC-8850 map but "CM64/32L".
    std::vector<QWidget*> order;
    QWidget* w = button(130);
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window.get()) && w->isEnabled())
            order.push_back(w);
        w = w->nextInFocusChain();
    } while (w != button(130) && order.size() < 500);
    // Between the kits and the pads only the page control (and its tab bar).
    auto* pages = find<QWidget>(QStringLiteral("PageControl1"));
    std::size_t pageStops = 0;
    while (37 + pageStops < order.size() && (order[37 + pageStops] == pages
                                             || order[37 + pageStops]->parentWidget() == pages))
        ++pageStops;
    EXPECT_GE(pageStops, 1u);
    ASSERT_EQ(order.size(), 37u + pageStops + 129u);
    for (int k = 130; k <= 166; ++k)
        EXPECT_EQ(order[static_cast<std::size_t>(k - 130)], button(k)) << k;
    for (int k = 1; k <= 129; ++k)
        EXPECT_EQ(order[36 + pageStops + static_cast<std::size_t>(k)], button(k)) << k;
}
