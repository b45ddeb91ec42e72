#include "core/settings/window_frame.h"

#include <gtest/gtest.h>

#include <climits>

namespace padscope {
namespace {

constexpr WindowFrame kDesktop{0, 0, 1280, 1024};

TEST(WindowFrame, OrdinaryFramesStayExactlyAsSaved)
{
    for (const WindowFrame f : {WindowFrame{193, 159, 810, 636}, WindowFrame{0, 0, 1280, 1024},
                                WindowFrame{1279, 1023, 810, 636}, WindowFrame{90, 70, 1, 1}})
        EXPECT_EQ(fitToDesktop(f, kDesktop), f);
    // A desktop that begins left of and above the primary screen.
    EXPECT_EQ(fitToDesktop({-1000, -20, 810, 636}, {-1280, -100, 2560, 1124}),
              (WindowFrame{-1000, -20, 810, 636}));
}

TEST(WindowFrame, HugeTinyAndFarOffFramesComeOnToTheDesktopWithoutOverflow)
{
    EXPECT_EQ(fitToDesktop({INT_MAX, INT_MAX, INT_MAX, INT_MAX}, kDesktop), (WindowFrame{1279, 1023, 1280, 1024}));
    EXPECT_EQ(fitToDesktop({INT_MIN, INT_MIN, INT_MIN, INT_MIN}, kDesktop), (WindowFrame{0, 0, 1, 1}));
    EXPECT_EQ(fitToDesktop({2147483000, 2147483000, 810, 636}, kDesktop), (WindowFrame{1279, 1023, 810, 636}));
    EXPECT_EQ(fitToDesktop({193, 159, 20000, 0}, kDesktop), (WindowFrame{193, 159, 1280, 1}));
    // Coordinates near the limits on the desktop's side too.
    EXPECT_EQ(fitToDesktop({INT_MAX, INT_MIN, 5, 5}, {INT_MAX - 9, INT_MIN, 10, 10}),
              (WindowFrame{INT_MAX, INT_MIN, 5, 5}));
    // An empty desktop still leaves one pixel.
    EXPECT_EQ(fitToDesktop({50, 50, 800, 600}, {0, 0, 0, 0}), (WindowFrame{0, 0, 1, 1}));
}

}  // namespace
}  // namespace padscope
