#include "core/settings/window_frame.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace padscope {
namespace {

constexpr WindowFrame kDefaults{193, 159, 810, 636};

WindowFrame place(const WindowFrame& saved, const std::vector<WindowFrame>& screens = {{0, 0, 1280, 1024}})
{
    return placeWindow(saved, kDefaults, screens);
}

TEST(WindowFrame, OrdinaryFramesStayExactlyAsSaved)
{
    for (const WindowFrame f : {WindowFrame{193, 159, 810, 636}, WindowFrame{0, 0, 1280, 1024},
                                WindowFrame{1180, 924, 810, 636}, WindowFrame{-700, 0, 810, 636},
                                WindowFrame{90, 70, 100, 100}})
        EXPECT_EQ(place(f), f);
    // A desktop that begins left of and above the primary screen.
    const std::vector<WindowFrame> two{{0, 0, 1280, 1024}, {-1280, -100, 1280, 1024}};
    EXPECT_EQ(place({-1000, -20, 810, 636}, two), (WindowFrame{-1000, -20, 810, 636}));
    // Larger than the desktop: cut to it, where it is.
    EXPECT_EQ(place({193, 159, 20000, 700}), (WindowFrame{193, 159, 1280, 700}));
}

TEST(WindowFrame, UnusableOrOffScreenFramesTakeTheDefaultOnAScreen)
{
    // Too small to use: the default size, where it was if it is seen there.
    for (const WindowFrame f : {WindowFrame{-5, INT_MIN, -5, INT_MIN}, WindowFrame{193, 159, -5, INT_MIN},
                                WindowFrame{193, 159, 810, 99}, WindowFrame{193, 159, 0, 0}})
        EXPECT_EQ(place(f), kDefaults) << f.width << " x " << f.height;
    EXPECT_EQ(place({90, 70, 1, 1}), (WindowFrame{90, 70, 810, 636}));
    // Off every screen, or too little of it on one, or its top edge above it.
    for (const WindowFrame f : {WindowFrame{INT_MAX, INT_MAX, INT_MAX, INT_MAX},
                                WindowFrame{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, WindowFrame{1279, 1023, 810, 636},
                                WindowFrame{2147483000, 2147483000, 810, 636}, WindowFrame{-750, 100, 810, 636},
                                WindowFrame{100, -20, 810, 636}, WindowFrame{100, 950, 810, 636}})
        EXPECT_EQ(place(f), kDefaults) << f.left << ", " << f.top;
    // In the gap that two screens of different heights leave.
    const std::vector<WindowFrame> uneven{{0, 0, 1280, 1024}, {1280, 0, 1024, 600}};
    EXPECT_EQ(place({1400, 700, 810, 300}, uneven), kDefaults);
    EXPECT_EQ(place({1400, 200, 810, 300}, uneven), (WindowFrame{1400, 200, 810, 300}));
    // The default place off the screens too: the primary screen's corner,
    // the default size cut to the desktop.
    EXPECT_EQ(place({-5, -5, -5, -5}, {{2000, 3000, 640, 480}}), (WindowFrame{2000, 3000, 640, 480}));
    EXPECT_EQ(place({INT_MAX, INT_MIN, 5, 5}, {{INT_MAX - 999, INT_MIN, 1000, 1000}}),
              (WindowFrame{INT_MAX - 999, INT_MIN, 810, 636}));
    // With no screen known, only the size is judged.
    EXPECT_EQ(placeWindow({5000, -5000, 800, 600}, kDefaults, {}), (WindowFrame{5000, -5000, 800, 600}));
    EXPECT_EQ(placeWindow({5000, -5000, 1, 1}, kDefaults, {}), (WindowFrame{5000, -5000, 810, 636}));
}

}  // namespace
}  // namespace padscope
