// Where the translation flow points the balloon.
#include "app/BalloonPlacement.h"

#include <gtest/gtest.h>

using namespace tervane;

namespace {

TEST(PlaceBalloon, PointsAtAFarCursorElseAtTheCentreKeepingThePosition) {
    using enum BalloonPosition;
    // A 1280 x 1024 screen: centre (640, 512).
    EXPECT_EQ(PlaceBalloon({0, 0, 1280, 1024}, {340, 212}, ArrowTopLeft),
              (BalloonPlacement{340, 212, ArrowTopRight}));
    EXPECT_EQ(PlaceBalloon({0, 0, 1280, 1024}, {940, 212}, ArrowBottomLeft),
              (BalloonPlacement{940, 212, ArrowTopLeft}));
    EXPECT_EQ(PlaceBalloon({0, 0, 1280, 1024}, {340, 812}, ArrowTopLeft),
              (BalloonPlacement{340, 812, ArrowBottomRight}));
    EXPECT_EQ(PlaceBalloon({0, 0, 1280, 1024}, {940, 812}, ArrowTopLeft),
              (BalloonPlacement{940, 812, ArrowBottomLeft}));
    // Exactly 200 from the centre is not more than 200: the centre, the previous position.
    EXPECT_EQ(PlaceBalloon({0, 0, 1280, 1024}, {440, 212}, ArrowBottomLeft),
              (BalloonPlacement{640, 512, ArrowBottomLeft}));
    EXPECT_EQ(PlaceBalloon({0, 0, 1280, 1024}, {340, 312}, ArrowTopRight),
              (BalloonPlacement{640, 512, ArrowTopRight}));
    EXPECT_EQ(PlaceBalloon({0, 0, 1280, 1024}, {439, 311}, ArrowTopLeft),
              (BalloonPlacement{439, 311, ArrowTopRight}));
    // Integer halves of an odd screen.
    EXPECT_EQ(PlaceBalloon({0, 0, 1025, 769}, {600, 400}, ArrowTopLeft),
              (BalloonPlacement{512, 384, ArrowTopLeft}));
    // A second monitor right of a 1280 x 1024 one: the rule is that monitor's.
    EXPECT_EQ(PlaceBalloon({1280, 0, 2560, 1024}, {1400, 100}, ArrowTopLeft),
              (BalloonPlacement{1400, 100, ArrowTopRight}));
    EXPECT_EQ(PlaceBalloon({1280, 0, 2560, 1024}, {1900, 500}, ArrowBottomLeft),
              (BalloonPlacement{1920, 512, ArrowBottomLeft}));
}

} // namespace
