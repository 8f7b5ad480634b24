// A hotkey as the desktops that run shortcuts write it: the portal's trigger, the portal's
// shortcut id (and back), sway's configuration line.
#include "gtk/ShortcutTexts.h"
#include "hotkeys/HotKeyCodec.h"

#include <gtest/gtest.h>

namespace tervane {
namespace {

constexpr std::uint32_t kF12 = 0x7B;
constexpr std::uint32_t kPageUp = 0x21;

TEST(GtkShortcutTexts, TriggersAndBindingsNameTheModifiersAndTheKeysym) {
    EXPECT_EQ(PortalTriggerOf(kHotKeyCtrl | kHotKeyShift | kF12), "CTRL+SHIFT+F12");
    EXPECT_EQ(PortalTriggerOf(kHotKeyAlt | kHotKeyWin | 'T'), "ALT+LOGO+t");
    EXPECT_EQ(SwayBindingOf(kHotKeyCtrl | kHotKeyShift | kF12),
              "bindsym Ctrl+Shift+F12 exec tervane --translate-selection");
    EXPECT_EQ(SwayBindingOf(kHotKeyAlt | kPageUp),
              "bindsym Mod1+Page_Up exec tervane --translate-selection");
    // A key the desktop has no keysym for cannot be bound.
    EXPECT_EQ(PortalTriggerOf(kHotKeyCtrl | 0xFF), "");
    EXPECT_EQ(SwayBindingOf(kHotKeyCtrl | 0xFF), "");
}

TEST(GtkShortcutTexts, ShortcutIdsGiveTheirHotKeyBack) {
    const std::uint32_t hotKey = kHotKeyCtrl | kHotKeyShift | kF12;
    EXPECT_EQ(HotKeyOfShortcutId(ShortcutIdOf(hotKey)), hotKey);
    EXPECT_EQ(HotKeyOfShortcutId("hotkey-"), std::nullopt);
    EXPECT_EQ(HotKeyOfShortcutId("hotkey-12x"), std::nullopt);
    EXPECT_EQ(HotKeyOfShortcutId("other-5"), std::nullopt);
}

} // namespace
} // namespace tervane
