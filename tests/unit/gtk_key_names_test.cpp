// The Linux desktop's key names under the shared hotkey codec: the text a hotkey is listed
// and stored with, its keybinder accelerator, and what the key-entry field makes of a press.
#include "gtk/KeyNames.h"
#include "hotkeys/HotKeyCodec.h"

#include <gtest/gtest.h>

using namespace tervane;

namespace {

class DesktopKeyNamesTest : public testing::Test {
  protected:
    DesktopKeyboardLayout layout_;
    HotKeyCodec codec_{layout_};
};

TEST_F(DesktopKeyNamesTest, HotKeysReadAsTheDesktopsAcceleratorLabels) {
    EXPECT_EQ(codec_.ToText(0x607B, true), "Ctrl+Shift+F12");
    EXPECT_EQ(codec_.FromText("Ctrl+Shift+F12", true), 0x607Bu);
    EXPECT_EQ(codec_.ToText(kHotKeyAlt | 0x21, true), "Alt+Page Up");
    EXPECT_EQ(codec_.ToText(kHotKeyCtrl | 0x41, true), "Ctrl+A");
    EXPECT_EQ(codec_.ToText(kHotKeyWin | 0x6B, true), "Win+KP Add");
    EXPECT_EQ(codec_.FromText("ctrl+shift+f12", true), 0x607Bu);
    EXPECT_EQ(codec_.FromText("Ctrl+Shift+NoSuchKey", true), 0u);
}

TEST_F(DesktopKeyNamesTest, EveryNamedKeyReadsBackAsItselfWithEveryModifier) {
    for (std::uint32_t key = 8; key <= 255; ++key) {
        const DesktopKey* row = DesktopKeyOf(static_cast<std::uint16_t>(key));
        if (!row || key == 0x10 || key == 0x11 || key == 0x12)
            continue;
        for (const std::uint32_t modifiers :
             {0u, kHotKeyCtrl, kHotKeyCtrl | kHotKeyShift | kHotKeyAlt, kHotKeyWin}) {
            const std::string text = codec_.ToText(modifiers | key, true);
            EXPECT_EQ(codec_.FromText(text, true), modifiers | key) << text;
        }
    }
}

TEST_F(DesktopKeyNamesTest, AGrabTakesTheKeysymAndTheModifiers) {
    EXPECT_EQ(AcceleratorOf(0x607B), "<Ctrl><Shift>F12");
    EXPECT_EQ(AcceleratorOf(kHotKeyCtrl | kHotKeyAlt | 'T'), "<Ctrl><Alt>t");
    EXPECT_EQ(AcceleratorOf(kHotKeyWin | 0xBA), "<Super>semicolon");
    EXPECT_EQ(AcceleratorOf(kHotKeyCtrl | 0x07), ""); // no key of the desktop's
}

TEST_F(DesktopKeyNamesTest, TheEntryFieldKeepsABareKeyForShiftAloneAndWaitsOnModifiers) {
    EXPECT_EQ(EntryHotKey("F5", false, true, false), 0x74u);
    EXPECT_EQ(EntryHotKey("F5", false, false, false), 0x74u);
    EXPECT_EQ(EntryHotKey("t", true, false, true), kHotKeyCtrl | kHotKeyAlt | 'T');
    EXPECT_EQ(EntryHotKey("A", true, true, false), kHotKeyCtrl | kHotKeyShift | 'A');
    EXPECT_EQ(EntryHotKey("KP_1", true, false, false), kHotKeyCtrl | 0x61);
    EXPECT_EQ(EntryHotKey("Control_L", true, false, false), 0u);
    EXPECT_EQ(EntryHotKey("Super_L", false, false, false), 0u);
}

} // namespace
