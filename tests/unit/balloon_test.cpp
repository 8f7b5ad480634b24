// The balloon's text, layout, placement and shape, and the wait hint's placement.
#include "notify/Balloon.h"
#include "notify/BalloonGeometry.h"
#include "notify/WaitHint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <tuple>

using namespace tervane;

namespace {

using Corners = std::array<BalloonPoint, 3>;

// A title of 50 x 13 pixels over three lines of text 200 pixels wide.
constexpr BalloonSize kTitle{50, 13};
constexpr BalloonSize kText{200, 39};

TEST(BalloonGeometry, EachPositionPutsTheArrowTipOnTheTarget) {
    struct Case {
        BalloonPosition position;
        BalloonPoint origin;
        BalloonRect body;
        Corners arrow;
        int titleTop, textTop, iconTop;
    };
    // 220 wide (the text's right edge 210, + 10), 102 high (text top 33 or 53, + 39 + 10,
    // + 20 below the body for an arrow there).
    const Case cases[] = {
        {BalloonPosition::ArrowTopLeft,
         {300, 198},
         {0, 0, 220, 84},
         {{{180, 82}, {200, 102}, {200, 82}}},
         12,
         33,
         10},
        {BalloonPosition::ArrowTopRight,
         {480, 198},
         {0, 0, 220, 84},
         {{{20, 82}, {20, 102}, {40, 82}}},
         12,
         33,
         10},
        {BalloonPosition::ArrowBottomLeft,
         {300, 298},
         {0, 22, 220, 102},
         {{{200, 2}, {200, 22}, {180, 22}}},
         32,
         53,
         30},
        {BalloonPosition::ArrowBottomRight,
         {480, 298},
         {0, 22, 220, 102},
         {{{20, 2}, {20, 22}, {40, 22}}},
         32,
         53,
         30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.position));
        const BalloonGeometry g = LayOutBalloon(c.position, {500, 300}, kTitle, kText);
        EXPECT_EQ(g.width, 220);
        EXPECT_EQ(g.height, 102);
        EXPECT_EQ(g.origin, c.origin);
        EXPECT_EQ(g.body, c.body);
        EXPECT_EQ(g.arrow, c.arrow);
        EXPECT_EQ(g.title, (BalloonPoint{34, c.titleTop}));
        EXPECT_EQ(g.text, (BalloonPoint{10, c.textTop}));
        EXPECT_EQ(g.icon, (BalloonPoint{10, c.iconTop}));
        EXPECT_EQ((BalloonPoint{g.origin.x + g.tip.x, g.origin.y + g.tip.y}),
                  (BalloonPoint{500, 300}));
        EXPECT_NE(std::find(g.arrow.begin(), g.arrow.end(), g.tip), g.arrow.end());

        // Near the screen's corner the balloon is placed all the same, partly off screen.
        const BalloonGeometry corner = LayOutBalloon(c.position, {3, 5}, kTitle, kText);
        EXPECT_EQ(corner.origin.x, c.origin.x - 497);
        EXPECT_EQ(corner.origin.y, c.origin.y - 295);
    }
}

TEST(BalloonGeometry, BottomRightExampleAndTopLeftEdges) {
    const BalloonGeometry g =
        LayOutBalloon(BalloonPosition::ArrowBottomRight, {500, 300}, {60, 13}, {90, 13});
    EXPECT_EQ(g.origin, (BalloonPoint{480, 298}));
    EXPECT_EQ(g.tip, (BalloonPoint{20, 2}));

    // Above and left of the point: the window's bottom edge is the point's row and the
    // tip is 20 pixels in from its right edge.
    const BalloonGeometry t =
        LayOutBalloon(BalloonPosition::ArrowTopLeft, {500, 300}, {60, 13}, {90, 13});
    EXPECT_EQ(t.origin.y + t.height, 300);
    EXPECT_EQ(t.origin.x + t.width - 20, 500);
}

TEST(BalloonGeometry, WidthFollowsWhicheverLabelReachesFurtherRight) {
    const auto width = [](int titleWidth, int textWidth) {
        return LayOutBalloon(BalloonPosition::ArrowTopLeft, {0, 0}, {titleWidth, 13},
                             {textWidth, 13})
            .width;
    };
    EXPECT_EQ(width(50, 200), 220);  // the text's right edge, 10 + 200, + 10
    EXPECT_EQ(width(300, 200), 344); // the title's, 34 + 300, + 10
    EXPECT_EQ(width(51, 74), 95);    // the title's edge 85 lies right of the text's 84
    EXPECT_EQ(width(0, 0), 44);      // an empty title still starts right of the picture
}

// A screen of 1280 x 1024 whose work area ends above a 40-pixel taskbar, and the balloon of
// kTitle and kText (220 x 102) laid out in it.
constexpr BalloonRect kWorkArea{0, 0, 1280, 984};

BalloonGeometry Inside(BalloonPosition position, BalloonPoint target,
                       BalloonRect workArea = kWorkArea) {
    return LayOutBalloonInside(position, target, kTitle, kText, workArea);
}

bool Within(const BalloonGeometry& g, BalloonRect area) {
    return g.origin.x >= area.left && g.origin.y >= area.top &&
           g.origin.x + g.width <= area.right && g.origin.y + g.height <= area.bottom;
}

BalloonPoint Tip(const BalloonGeometry& g) {
    return {g.origin.x + g.tip.x, g.origin.y + g.tip.y};
}

// The dictionary's lines under the text, set apart by their gap, within the margins; the
// body grows by them and no more; none laid out as a balloon without them; kept inside the
// work area with the tip on the target as any balloon is; scaled with the DPI.
TEST(BalloonGeometry, TheDictionaryStandsUnderTheTextWithinTheMargins) {
    const BalloonLabels withEntries{kTitle, kText, {260, 26}};
    const BalloonGeometry plain =
        LayOutBalloon(BalloonPosition::ArrowBottomRight, {500, 300}, kTitle, kText);
    const BalloonGeometry none = LayOutBalloon(BalloonPosition::ArrowBottomRight, {500, 300},
                                               BalloonLabels{kTitle, kText, {0, 0}});
    EXPECT_EQ(std::tie(none.width, none.height, none.text.y, none.body.bottom),
              std::tie(plain.width, plain.height, plain.text.y, plain.body.bottom));

    const BalloonGeometry g =
        LayOutBalloon(BalloonPosition::ArrowBottomRight, {500, 300}, withEntries);
    EXPECT_EQ(g.text, plain.text);
    // 20 arrow + 12 + 13 title + 8 + 39 text = 92; + 6 gap = 98; + 26 + 10 margin = 134.
    EXPECT_EQ(g.dictionary, (BalloonPoint{10, 98}));
    EXPECT_EQ(g.height, 134);
    EXPECT_EQ(g.body.bottom, g.height);
    EXPECT_EQ(g.width, 280) << "the longest label, the dictionary, sets the width";
    EXPECT_EQ(Tip(g), (BalloonPoint{500, 300}));

    // Near the bottom right corner it flips up and left, the entries still inside.
    const BalloonRect workArea{0, 0, 1280, 984};
    const BalloonGeometry corner =
        LayOutBalloonInside(BalloonPosition::ArrowBottomRight, {1200, 950}, withEntries, workArea);
    EXPECT_EQ(corner.position, BalloonPosition::ArrowTopLeft);
    EXPECT_TRUE(Within(corner, workArea));
    EXPECT_EQ(Tip(corner), (BalloonPoint{1200, 950}));
    EXPECT_LE(corner.dictionary.y + 26, corner.body.bottom - 10);

    const BalloonGeometry at144 = LayOutBalloon(BalloonPosition::ArrowTopLeft, {500, 300},
                                                BalloonLabels{kTitle, kText, {260, 39}}, 144);
    EXPECT_EQ(at144.dictionary.y, 18 + 13 + 12 + 39 + 9);
}

TEST(BalloonInside, ABalloonThatFitsIsLaidOutAsAsked) {
    for (const BalloonPosition position :
         {BalloonPosition::ArrowTopLeft, BalloonPosition::ArrowTopRight,
          BalloonPosition::ArrowBottomLeft, BalloonPosition::ArrowBottomRight}) {
        SCOPED_TRACE(static_cast<int>(position));
        const BalloonGeometry laid = LayOutBalloon(position, {640, 500}, kTitle, kText);
        const BalloonGeometry kept = Inside(position, {640, 500});
        EXPECT_EQ(kept.position, position);
        EXPECT_EQ(kept.origin, laid.origin);
        EXPECT_EQ(kept.body, laid.body);
        EXPECT_EQ(kept.arrow, laid.arrow);
    }
}

TEST(BalloonInside, NearAnEdgeItFlipsToTheSideThatFitsWithTheTipOnTheTarget) {
    using enum BalloonPosition;
    struct Case {
        const char* where;
        BalloonPosition asked;
        BalloonPoint target;
        BalloonPosition kept;
    };
    const Case cases[] = {
        // The cursor 100 pixels above the screen's bottom, right of and below the centre:
        // the body below the cursor would reach 28 pixels past the screen (68 past the
        // work area); above the cursor it fits.
        {"bottom", ArrowBottomLeft, {1000, 924}, ArrowTopLeft},
        {"bottom", ArrowBottomRight, {300, 900}, ArrowTopRight},
        {"top", ArrowTopLeft, {1000, 60}, ArrowBottomLeft},
        {"top", ArrowTopRight, {300, 101}, ArrowBottomRight},
        {"left", ArrowTopLeft, {150, 500}, ArrowTopRight},
        {"left", ArrowBottomLeft, {20, 500}, ArrowBottomRight},
        {"right", ArrowTopRight, {1100, 500}, ArrowTopLeft},
        {"right", ArrowBottomRight, {1260, 500}, ArrowBottomLeft},
        {"top left", ArrowTopLeft, {25, 5}, ArrowBottomRight},
        {"top right", ArrowTopRight, {1255, 5}, ArrowBottomLeft},
        {"bottom left", ArrowBottomLeft, {25, 980}, ArrowTopRight},
        {"bottom right", ArrowBottomRight, {1255, 980}, ArrowTopLeft},
        // In a corner, a body already on the inner side stays.
        {"bottom right, inward", ArrowTopLeft, {1255, 980}, ArrowTopLeft},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        const BalloonGeometry g = Inside(c.asked, c.target);
        EXPECT_EQ(g.position, c.kept);
        EXPECT_EQ(Tip(g), c.target);
        EXPECT_TRUE(Within(g, kWorkArea));
        // Exactly the layout of the position it flipped to.
        const BalloonGeometry flipped = LayOutBalloon(c.kept, c.target, kTitle, kText);
        EXPECT_EQ(g.origin, flipped.origin);
        EXPECT_EQ(g.arrow, flipped.arrow);
        EXPECT_EQ(g.body, flipped.body);
    }
    // A balloon that ends exactly on the work area's edge fits: no flip.
    EXPECT_EQ(Inside(ArrowBottomRight, {300, 984 - 100}).position, ArrowBottomRight);
    EXPECT_EQ(Inside(ArrowBottomRight, {300, 984 - 99}).position, ArrowTopRight);
}

TEST(BalloonInside, OnASecondMonitorItKeepsToThatMonitorsWorkArea) {
    // A monitor right of the first, its taskbar at the top.
    const BalloonRect second{1280, 40, 2560, 1024};
    const BalloonGeometry g = Inside(BalloonPosition::ArrowTopLeft, {1300, 50}, second);
    EXPECT_EQ(g.position, BalloonPosition::ArrowBottomRight);
    EXPECT_EQ(Tip(g), (BalloonPoint{1300, 50}));
    EXPECT_TRUE(Within(g, second));
}

TEST(BalloonInside, WhereNeitherSideFitsItIsMovedInside) {
    // 150 pixels high: 102 fit, but not above nor below a target in the middle. Below it
    // reaches 25 pixels past the area, above 27: it goes below and is moved up inside.
    const BalloonRect low{0, 0, 1280, 150};
    const BalloonGeometry g = Inside(BalloonPosition::ArrowTopLeft, {640, 75}, low);
    EXPECT_EQ(g.position, BalloonPosition::ArrowBottomLeft);
    EXPECT_EQ(g.origin, (BalloonPoint{640 - 200, 150 - 102}));
    EXPECT_TRUE(Within(g, low));

    // Narrower than the balloon: it starts at the area's left edge; the other direction
    // still flips as usual.
    const BalloonRect narrow{100, 0, 300, 984};
    const BalloonGeometry n = Inside(BalloonPosition::ArrowTopRight, {200, 50}, narrow);
    EXPECT_EQ(n.origin.x, 100);
    EXPECT_EQ(n.position, BalloonPosition::ArrowBottomRight);
    EXPECT_EQ(n.origin.y, 48);

    // Closer to the screen's side than the arrow's inset: inside, the tip a little off.
    const BalloonGeometry side = Inside(BalloonPosition::ArrowTopLeft, {3, 500});
    EXPECT_EQ(side.position, BalloonPosition::ArrowTopRight);
    EXPECT_EQ(side.origin, (BalloonPoint{0, 500 - 102}));
    EXPECT_TRUE(Within(side, kWorkArea));
}

TEST(BalloonText, LinesJoinedWithCrLfAndTrimmed) {
    EXPECT_EQ(JoinBalloonText({"", "  Bonjour le monde ", "", "second line ", "", " "}),
              "Bonjour le monde \r\n\r\nsecond line");
    EXPECT_EQ(JoinBalloonText({"\t\x01one\x1f"}), "one");
    EXPECT_EQ(JoinBalloonText({"a", "b"}), "a\r\nb");
    // Bytes of UTF-8 sequences are characters, never blanks.
    EXPECT_EQ(JoinBalloonText({"Привет ", "世界"}), "Привет \r\n世界");
    EXPECT_EQ(JoinBalloonText({}), "");
    EXPECT_EQ(JoinBalloonText({" ", "", "\t"}), "");
}

TEST(BalloonSettings, PicturesAndCloseDelays) {
    EXPECT_STREQ(BalloonPictureName(BalloonType::Info), L"INFO");
    EXPECT_STREQ(BalloonPictureName(BalloonType::Error), L"ERROR");
    EXPECT_STREQ(BalloonPictureName(BalloonType::Warning), L"WARNING");
    EXPECT_STREQ(BalloonPictureName(static_cast<BalloonType>(3)), L"INFO");

    EXPECT_EQ(BalloonCloseDelay(0), 0u); // never
    EXPECT_EQ(BalloonCloseDelay(-1), 0u);
    EXPECT_EQ(BalloonCloseDelay(200), 200000u);
    EXPECT_EQ(BalloonCloseDelay(INT_MAX), 0x7FFFFFFFu);
}

TEST(WaitHintPlacement, TextSizedWindowMovedLeftAndUpIntoItsMonitor) {
    const WaitHintRect screen{0, 0, 1280, 1024};
    EXPECT_EQ(PlaceWaitHint(100, 200, 150, 13, screen), (WaitHintRect{100, 200, 260, 217}));
    EXPECT_EQ(PlaceWaitHint(1200, 200, 150, 13, screen), (WaitHintRect{1120, 200, 1280, 217}));
    EXPECT_EQ(PlaceWaitHint(1200, 1020, 150, 13, screen), (WaitHintRect{1120, 1007, 1280, 1024}));
    // A second monitor right of the first.
    const WaitHintRect right{1280, 0, 2560, 1024};
    EXPECT_EQ(PlaceWaitHint(2500, 10, 150, 13, right), (WaitHintRect{2400, 10, 2560, 27}));
}

} // namespace
