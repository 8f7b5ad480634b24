// Which way a replacement takes, and when a paste has the user's clipboard no longer.
#include "translate/ReplaceWays.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace tervane;

TEST(ReplaceWays, EditControlsTakeTheMessageUnlessReadOnlyAndTheRestAPasteThatIsBounded) {
    for (const char* edit : {"Edit", "EDIT", "RichEdit20W", "RICHEDIT50W", "RichEdit60W"})
        EXPECT_EQ(ChooseReplaceWay(edit, false), ReplaceWay::EditMessage) << edit;
    for (const char* other : {"Chrome_RenderWidgetHostHWND", "Scintilla", "EditPlus", ""})
        EXPECT_EQ(ChooseReplaceWay(other, true), ReplaceWay::PasteKeystroke) << other;
    try {
        ChooseReplaceWay("RichEdit20W", true);
        FAIL() << "a read-only control was given the text";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), kReadOnlyTargetText);
    }

    EXPECT_TRUE(PasteOver(true, 0));
    EXPECT_FALSE(PasteOver(false, kPasteBoundMs - 1));
    EXPECT_TRUE(PasteOver(false, kPasteBoundMs));

    // Through a pipe: the application reads on after the last byte, past the bound if need be.
    EXPECT_FALSE(PipedPasteOver(kPipedPasteReadMs - 1, kPasteBoundMs + 1));
    EXPECT_TRUE(PipedPasteOver(kPipedPasteReadMs, 0));
    EXPECT_FALSE(PipedPasteOver(std::nullopt, kPasteBoundMs - 1));
    EXPECT_TRUE(PipedPasteOver(std::nullopt, kPasteBoundMs));
}

TEST(ReplaceWays, AWaylandSessionReplacesOnlyWithTheClipboardLentAndAVirtualKeyboard) {
    EXPECT_EQ(WaylandReplaceUnavailable(true, true), "");
    EXPECT_EQ(WaylandReplaceUnavailable(true, false),
              "Replacing the selection with its translation is not available on this desktop: "
              "the compositor offers applications no virtual keyboard to paste with. The hotkey "
              "can only translate.");
    EXPECT_NE(WaylandReplaceUnavailable(false, true).find("(wlr data-control)"), std::string::npos);
    EXPECT_EQ(WaylandReplaceUnavailable(false, false), WaylandReplaceUnavailable(false, true));
}
