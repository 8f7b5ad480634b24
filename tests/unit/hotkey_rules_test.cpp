// Which hotkeys would take a key from typing in every program.
#include "hotkeys/HotKeyCodec.h"
#include "hotkeys/HotKeyRules.h"

#include <gtest/gtest.h>

using namespace tervane;

namespace {

TEST(HotKeyRules, KeysThatTypeNeedCtrlAltOrWin) {
    // Letters, digits, punctuation, the numeric pad, Space, Enter, Tab, Backspace.
    const std::uint32_t typing[] = {'A',  'Z',  '0',  '9',  0x20, 0x0D, 0x09, 0x08,
                                    0x60, 0x69, 0x6A, 0x6B, 0x6D, 0x6E, 0x6F, 0xBA,
                                    0xBF, 0xC0, 0xDB, 0xDE, 0xDF, 0xE2};
    for (const std::uint32_t key : typing) {
        SCOPED_TRACE(key);
        EXPECT_TRUE(TakesTypingKey(key));
        EXPECT_TRUE(TakesTypingKey(kHotKeyShift | key)) << "Shift alone types too";
        for (const std::uint32_t modifier : {kHotKeyCtrl, kHotKeyAlt, kHotKeyWin})
            EXPECT_FALSE(TakesTypingKey(modifier | key));
        EXPECT_FALSE(TakesTypingKey(kHotKeyShift | kHotKeyCtrl | key));
    }
}

TEST(HotKeyRules, KeysThatTypeNothingStayAllowedAlone) {
    // F1, F12, F24, Esc, Insert, Delete, Home, the arrows, Page Up, Pause, Print Screen,
    // Num Lock, Scroll Lock, browser and media keys, the codes right beside the typing ones.
    const std::uint32_t silent[] = {0x70, 0x7B, 0x87, 0x1B, 0x2D, 0x2E, 0x24, 0x25, 0x28,
                                    0x21, 0x13, 0x2C, 0x90, 0x91, 0xA6, 0xB3, 0x2F, 0x3A,
                                    0x40, 0x5B, 0x5F, 0x70, 0xB9, 0xC1, 0xDA, 0xE0, 0xE1};
    for (const std::uint32_t key : silent) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(TakesTypingKey(key));
        EXPECT_FALSE(TakesTypingKey(kHotKeyShift | key));
    }
}

} // namespace
