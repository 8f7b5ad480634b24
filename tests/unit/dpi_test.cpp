// Sizes of the 96-DPI design at other DPIs: the rounding, the places, the pictures'
// DPI, the monitor under a point, the window after a DPI change, and the balloon and wait
// hint laid out on the monitor under the cursor of a screen whose two monitors differ.
#include "base/Dpi.h"
#include "notify/BalloonGeometry.h"
#include "notify/WaitHint.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace tervane;

namespace {

TEST(Dpi, RoundsAsWindowsMulDiv) {
    // Halves away from zero, whatever the signs.
    EXPECT_EQ(MulDivRounded(5, 1, 2), 3);
    EXPECT_EQ(MulDivRounded(-5, 1, 2), -3);
    EXPECT_EQ(MulDivRounded(5, -1, 2), -3);
    EXPECT_EQ(MulDivRounded(5, 1, -2), -3);
    EXPECT_EQ(MulDivRounded(-5, -1, -2), -3);
    EXPECT_EQ(MulDivRounded(7, 2, 3), 5); // 4.67
    EXPECT_EQ(MulDivRounded(4, 1, 3), 1); // 1.33
    // No overflow inside; -1 for what cannot be answered.
    EXPECT_EQ(MulDivRounded(INT_MAX, INT_MAX, INT_MAX), INT_MAX);
    EXPECT_EQ(MulDivRounded(1, 1, 0), -1);
    EXPECT_EQ(MulDivRounded(INT_MAX, 2, 1), -1);
}

TEST(Dpi, ScalesTheDesignAndLeavesItAloneAt96) {
    for (int length : {0, 1, 2, 7, 11, 13, 14, 16, 20, 21, 23, 65, 305, 476})
        EXPECT_EQ(ScaleToDpi(length, 96), length);
    // 125, 150, 175 and 200 %: the main window's client area, a button, the arrow's overlap.
    EXPECT_EQ(ScaleToDpi(476, 120), 595);
    EXPECT_EQ(ScaleToDpi(305, 120), 381); // 381.25
    EXPECT_EQ(ScaleToDpi(305, 144), 458); // 457.5: a half goes up
    EXPECT_EQ(ScaleToDpi(11, 168), 19);   // 19.25
    EXPECT_EQ(ScaleToDpi(65, 192), 130);
    EXPECT_EQ(ScaleToDpi(2, 120), 3); // 2.5
    EXPECT_EQ(ScaleToDpi(-14, 144), -21);
    EXPECT_EQ(ScaleToDpi(20, 0), 20);

    // A place scales each of its four numbers by itself: equal widths stay equal.
    EXPECT_EQ(ScalePlace({240, 275, 65, 23}, 144), (PixelRect{360, 413, 98, 35}));
    EXPECT_EQ(ScalePlace({320, 275, 65, 23}, 144).bottom, 35);
    EXPECT_EQ(ScalePlace({240, 275, 65, 23}, 96), (PixelRect{240, 275, 65, 23}));
}

TEST(Dpi, PicturesComeFromTheLargestSizeThatFits) {
    const std::vector<std::pair<int, int>> cases{{72, 96},   {96, 96},   {119, 96},
                                                 {120, 120}, {143, 120}, {144, 144},
                                                 {168, 144}, {192, 192}, {288, 192}};
    for (const auto& [dpi, pictures] : cases)
        EXPECT_EQ(kImageDpis[ImageDpiIndex(dpi)], pictures) << dpi;
}

// A 1920 x 1080 monitor at 100 % with a taskbar, and to its right a 2560 x 1440 one at 150 %.
const std::vector<ScreenMonitor> kTwoMonitors{
    {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96},
    {{1920, 0, 4480, 1440}, {1920, 0, 4480, 1440}, 144},
};

TEST(Dpi, TheMonitorUnderThePointOrTheNearest) {
    EXPECT_EQ(MonitorUnder(100, 100, kTwoMonitors).dpi, 96);
    EXPECT_EQ(MonitorUnder(1919, 1079, kTwoMonitors).dpi, 96);
    EXPECT_EQ(MonitorUnder(1920, 0, kTwoMonitors).dpi, 144);
    // Below the first monitor but beside the taller second one: on the second.
    EXPECT_EQ(MonitorUnder(2000, 1300, kTwoMonitors).dpi, 144);
    // On none: the nearest.
    EXPECT_EQ(MonitorUnder(100, 1200, kTwoMonitors).dpi, 96);
    EXPECT_EQ(MonitorUnder(5000, -50, kTwoMonitors).dpi, 144);
    EXPECT_EQ(MonitorUnder(-3000, 500, kTwoMonitors).dpi, 96);
}

TEST(Dpi, AfterADpiChangeTheWindowTakesItsOwnSizeAtTheSuggestedCorner) {
    // Dragged onto the 150 % monitor: the system suggests the old size scaled by 1.5; the
    // window's own size at 144 DPI (its client and the frame at that DPI) wins, the corner
    // stays where the system put it.
    const PixelRect suggested{2000, 100, 2000 + 726, 100 + 508};
    EXPECT_EQ(PlaceAfterDpiChange(suggested, 724, 505), (PixelRect{2000, 100, 2724, 605}));
    // Without a size of its own, the suggestion as it is.
    EXPECT_EQ(PlaceAfterDpiChange(suggested, 0, 0), suggested);
    // WM_DPICHANGED's first parameter: the DPI in each half.
    EXPECT_EQ(DpiOfDpiChange((144ul << 16) | 144), 144);
    EXPECT_EQ(DpiOfDpiChange(0), kDesignDpi);
}

// A face whose text is 170 pixels wide at the design's 11 pixels and grows faster than its
// height above it (as a bitmap face's outline does): at 120 DPI 14 pixels would run 234 wide,
// past the 213 the layout gives; 13 fits. At 96 DPI nothing is measured.
TEST(Dpi, AFontAtAnotherDpiRunsNoWiderThanTheDesignScaled) {
    std::vector<int> measured;
    const auto width = [&](int height) {
        measured.push_back(height);
        return height * 170 / 11 + (height - 11) * 6;
    };
    EXPECT_EQ(FittingFontHeight(11, 170, 120, width), 13);
    EXPECT_EQ(measured, (std::vector<int>{14, 13}));
    measured.clear();
    EXPECT_EQ(FittingFontHeight(11, 170, kDesignDpi, width), 11);
    EXPECT_TRUE(measured.empty());
    // A face that fits nowhere above the design's height keeps the design's height.
    EXPECT_EQ(FittingFontHeight(11, 170, 192, [](int) { return 1000; }), 11);
    // One that grows evenly keeps the scaled height.
    EXPECT_EQ(FittingFontHeight(11, 170, 192, [](int height) { return height * 170 / 11; }), 22);
}

TEST(Dpi, BalloonAndWaitHintTakeTheDpiOfTheMonitorUnderTheCursor) {
    const BalloonSize title{50, 13}, text{200, 39};
    const auto layOut = [&](BalloonPoint cursor) {
        const ScreenMonitor& monitor = MonitorUnder(cursor.x, cursor.y, kTwoMonitors);
        const PixelRect& w = monitor.workArea;
        return LayOutBalloonInside(BalloonPosition::ArrowTopLeft, cursor, title, text,
                                   {w.left, w.top, w.right, w.bottom}, monitor.dpi);
    };
    // On the 100 % monitor: exactly the 96-DPI balloon.
    const BalloonGeometry small = layOut({900, 600});
    EXPECT_EQ(small.width, 220);
    EXPECT_EQ(small.height, 102);
    EXPECT_EQ(small.corner, 7);
    EXPECT_EQ(small.icon, (BalloonPoint{10, 10}));
    EXPECT_EQ(small.tip, (BalloonPoint{200, 102}));
    // On the 150 % monitor (text measured there: 1.5 times as large), every length 1.5 times.
    const BalloonGeometry large =
        LayOutBalloonInside(BalloonPosition::ArrowTopLeft, {3000, 800}, {75, 20}, {300, 59},
                            {1920, 0, 4480, 1440}, MonitorUnder(3000, 800, kTwoMonitors).dpi);
    EXPECT_EQ(large.width, 330);  // 15 + 300 + 15
    EXPECT_EQ(large.height, 154); // 18 + 20 + 12 + 59 + 15, and the arrow's 30
    EXPECT_EQ(large.corner, 11);  // 10.5
    EXPECT_EQ(large.icon, (BalloonPoint{15, 15}));
    EXPECT_EQ(large.tip, (BalloonPoint{300, 154}));
    EXPECT_EQ(large.origin, (BalloonPoint{2700, 646}));
    // Near the right edge of the first monitor the balloon stays inside that monitor's
    // work area, sized at its DPI, though the second monitor lies right beside it.
    const BalloonGeometry edge = layOut({1910, 1030});
    EXPECT_LE(edge.origin.y + edge.height, 1040);
    EXPECT_LE(edge.origin.x + edge.width, 1920);

    // The wait hint: 10 and 4 pixels of room at 100 %, 15 and 6 at 150 %.
    EXPECT_EQ(PlaceWaitHint(100, 200, 150, 13, {0, 0, 1920, 1080}, 96),
              (WaitHintRect{100, 200, 260, 217}));
    EXPECT_EQ(PlaceWaitHint(4400, 200, 225, 20, {1920, 0, 4480, 1440}, 144),
              (WaitHintRect{4240, 200, 4480, 226}));
}

} // namespace
