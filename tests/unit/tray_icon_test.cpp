// The notification-area icon's portable rules: the tooltip cut and when a click is reported.
#include "notify/TrayIconClicks.h"
#include "notify/TrayIconTip.h"

#include <gtest/gtest.h>

#include <string>

using namespace tervane;

TEST(TrayIconTip, HoldsTheFirst127UnitsOfTheHintOrNothing) {
    EXPECT_EQ(TrayIconTip("Tervane", true), "Tervane");
    EXPECT_EQ(TrayIconTip("Tervane", false), "");
    EXPECT_EQ(TrayIconTip("", true), "");

    const std::string longHint = std::string(120, 'a') + std::string(80, 'b');
    EXPECT_EQ(TrayIconTip(longHint, true), std::string(120, 'a') + std::string(7, 'b'));
    EXPECT_EQ(TrayIconTip(std::string(127, 'x'), true), std::string(127, 'x'));

    // Characters are never cut in half: "é" is one unit in two bytes; "𝄞" two units.
    std::string accents;
    for (int i = 0; i < 130; ++i)
        accents += "\xC3\xA9";
    EXPECT_EQ(TrayIconTip(accents, true), accents.substr(0, 127 * 2));
    const std::string clef = "\xF0\x9D\x84\x9E";
    EXPECT_EQ(TrayIconTip(std::string(126, 'a') + clef, true), std::string(126, 'a'));
    EXPECT_EQ(TrayIconTip(std::string(125, 'a') + clef + "z", true), std::string(125, 'a') + clef);
    // A broken sequence counts byte by byte, as the conversion replaces each byte.
    EXPECT_EQ(TrayIconTip(std::string(126, 'a') + "\xE2\x82", true),
              std::string(126, 'a') + "\xE2");
}

TEST(TrayIconClicks, WithoutDoubleClickHandlerTheReleaseReportsEveryClick) {
    TrayIconClicks clicks;
    clicks.LeftDown();
    EXPECT_TRUE(clicks.LeftUp(false));
    // The shell's double click: the second press arrives as a double click, not a press.
    clicks.DoubleClick();
    EXPECT_FALSE(clicks.LeftUp(false));
    // A release without a press of its own is no click.
    EXPECT_FALSE(clicks.LeftUp(false));
    clicks.LeftDown();
    EXPECT_TRUE(clicks.LeftUp(false));
}

TEST(TrayIconClicks, WithDoubleClickHandlerTheClickWaitsForTheTimer) {
    TrayIconClicks clicks;
    // A single click: reported when the timer elapses, once.
    clicks.LeftDown();
    EXPECT_FALSE(clicks.LeftUp(true));
    EXPECT_TRUE(clicks.ClickTimerElapsed());
    EXPECT_FALSE(clicks.ClickTimerElapsed());

    // A double click: no click when the timer elapses, and the next single click counts again.
    clicks.LeftDown();
    EXPECT_FALSE(clicks.LeftUp(true));
    clicks.DoubleClick();
    EXPECT_FALSE(clicks.LeftUp(true));
    EXPECT_FALSE(clicks.ClickTimerElapsed());
    clicks.LeftDown();
    EXPECT_FALSE(clicks.LeftUp(true));
    EXPECT_TRUE(clicks.ClickTimerElapsed());

    // A double click seen before the handler came (no timer then) does not eat a later click.
    TrayIconClicks late;
    late.LeftDown();
    EXPECT_TRUE(late.LeftUp(false));
    late.DoubleClick();
    late.LeftDown();
    EXPECT_FALSE(late.LeftUp(true));
    EXPECT_TRUE(late.ClickTimerElapsed());

    // Held past the double-click time: the timer finds no release, the release reports.
    clicks.LeftDown();
    EXPECT_FALSE(clicks.ClickTimerElapsed());
    EXPECT_TRUE(clicks.LeftUp(false));
}
