// The hotkey codec over the real keyboard layouts of Wine. Wine names keys its own way, so
// these check what holds on any layout.
#include "hotkeys/HotKeyCodec.h"
#include "hotkeys/HotKeyManager_win.h"
#include "hotkeys/KeyboardLayout_win.h"

#include "WineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace tervane;

namespace {

std::vector<HKL> InstalledLayouts() {
    std::vector<HKL> layouts(100);
    const int count = GetKeyboardLayoutList(100, layouts.data());
    layouts.resize(static_cast<std::size_t>(std::max(count, 0)));
    std::sort(layouts.begin(), layouts.end());
    return layouts;
}

class HotKeyCodecWin : public testing::Test {
  protected:
    void SetUp() override { hotKeyModule.emplace(); }
    void TearDown() override { hotKeyModule.reset(); }
};

TEST(WinKeyboardLayout, AnswersFromTheThreadsLayout) {
    WinKeyboardLayout& layout = SystemKeyboardLayout();
    const LayoutHandle current = layout.Current();
    EXPECT_NE(current, 0u);
    EXPECT_EQ(layout.ScanCode(VK_F12), MapVirtualKeyW(VK_F12, MAPVK_VK_TO_VSC));
    EXPECT_NE(layout.ScanCode(VK_F12), 0u);
    EXPECT_EQ(layout.ScanCodeIn(VK_F12, current), layout.ScanCode(VK_F12));
    EXPECT_EQ(layout.KeyName(layout.ScanCode(VK_F12), false), "F12");
    EXPECT_EQ(layout.KeyName(0, false), "");
    const std::vector<LayoutHandle> installed = layout.Installed(100);
    EXPECT_NE(std::find(installed.begin(), installed.end(), current), installed.end());
    EXPECT_TRUE(layout.Installed(0).empty());
    EXPECT_TRUE(layout.EqualIgnoringCase("ctrl+SHIFT", "Ctrl+Shift"));
    EXPECT_TRUE(layout.EqualIgnoringCase("\xC3\xBC"
                                         "ber",
                                         "\xC3\x9C"
                                         "BER")); // über
    EXPECT_FALSE(layout.EqualIgnoringCase("Ctrl", "Ctrl "));
    EXPECT_TRUE(layout.EqualIgnoringCase("", ""));
}

TEST_F(HotKeyCodecWin, ModuleStartAndEndLeaveTheInstalledLayoutsAsTheyWere) {
    hotKeyModule.reset();
    const std::vector<HKL> before = InstalledLayouts();
    const HKL current = GetKeyboardLayout(0);

    hotKeyModule.emplace();
    // The localised names are what the layout calls the modifier keys themselves.
    const std::string ctrl = hotKeyModule->Codec().ToText(VK_CONTROL, true);
    const std::string shift = hotKeyModule->Codec().ToText(VK_SHIFT, true);
    const std::string alt = hotKeyModule->Codec().ToText(VK_MENU, true);
    EXPECT_FALSE(ctrl.empty());
    EXPECT_EQ(hotKeyModule->Codec().ToText(0xE07B, true), ctrl + "+" + shift + "+" + alt + "+F12");
    const bool altInCapitals =
        std::all_of(alt.begin(), alt.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    EXPECT_EQ(hotKeyModule->Codec().ToText(0x1007B, true), altInCapitals ? "WIN+F12" : "Win+F12");
    EXPECT_EQ(GetKeyboardLayout(0), current);

    hotKeyModule.reset();
    EXPECT_EQ(InstalledLayouts(), before);
    EXPECT_EQ(GetKeyboardLayout(0), current);
    hotKeyModule.emplace();
}

TEST_F(HotKeyCodecWin, DefaultHotKeyConvertsBothWays) {
    const HKL current = GetKeyboardLayout(0);
    for (bool localized : {true, false}) {
        SCOPED_TRACE(localized ? "localised" : "English");
        EXPECT_EQ(hotKeyModule->Codec().FromText("Ctrl+Shift+F12", localized), 0x607Bu);
        EXPECT_EQ(hotKeyModule->Codec().FromText(" ctrl + shift + f12 ", localized), 0x607Bu);
        EXPECT_EQ(hotKeyModule->Codec().FromText(hotKeyModule->Codec().ToText(0x607B, localized),
                                                 localized),
                  0x607Bu);
        EXPECT_EQ(hotKeyModule->Codec().FromText("Alt+Ctrl+X", localized), 0xC058u);
        EXPECT_EQ(hotKeyModule->Codec().FromText("Win+Shift+a", localized), 0x12041u);
        EXPECT_EQ(hotKeyModule->Codec().FromText("Ctrl+Shift", localized), 0u);
        EXPECT_EQ(hotKeyModule->Codec().FromText("Hyper+F1", localized), 0u);
        EXPECT_EQ(hotKeyModule->Codec().ToText(0xAD, localized).empty(), false);
    }
    EXPECT_EQ(hotKeyModule->Codec().ToText(0x607B, false), "Ctrl+Shift+F12");
    // The English form switched layouts only for its lookups.
    EXPECT_EQ(GetKeyboardLayout(0), current);
}

// A modifier word written with case is never a key, though a layout may give it to one
// (Wine calls the Ctrl key "Control", and VK_HELP "Alt").
bool IsModifierWord(const std::string& name) {
    const std::string words[] = {"Ctrl",
                                 "Shift",
                                 "Alt",
                                 "Win",
                                 hotKeyModule->Codec().ToText(VK_CONTROL, true),
                                 hotKeyModule->Codec().ToText(VK_SHIFT, true),
                                 hotKeyModule->Codec().ToText(VK_MENU, true)};
    return std::find(std::begin(words), std::end(words), name) != std::end(words);
}

// A stored hotkey must come back as itself at the next start: every key with a name reads
// back as its own code, in both forms. One pair still shares a name under Wine: Wine's X11
// keyboard table gives VK_OEM_NEC_EQUAL (0x92, a key of NEC PC-98 keyboards) the scan code
// of the "=" key, so "=" (VK_OEM_PLUS, 0xBB) reads back as 0x92, the lower code. Windows'
// US layout gives 0x92 no key, and there "=" reads back as itself.
TEST_F(HotKeyCodecWin, EveryNamedKeyReadsBackAsItself) {
    const HotKeyCodec& codec = hotKeyModule->Codec();
    const auto readsBackAs = [&](std::uint32_t key, bool localized) -> std::uint32_t {
        const bool sharedUnderWine =
            key == 0xBB && codec.ToText(0x92, localized) == codec.ToText(0xBB, localized);
        return sharedUnderWine ? 0x92 : key;
    };
    for (bool localized : {true, false}) {
        SCOPED_TRACE(localized ? "localised" : "English");
        int named = 0;
        for (std::uint32_t key = 8; key <= 255; ++key) {
            const std::string name = hotKeyModule->Codec().ToText(key, localized);
            if (name.empty())
                continue;
            const std::string withCtrl = hotKeyModule->Codec().ToText(kHotKeyCtrl | key, localized);
            if (IsModifierWord(name)) {
                EXPECT_EQ(hotKeyModule->Codec().FromText(withCtrl, localized), 0u)
                    << key << " " << withCtrl;
                continue;
            }
            // "+" cuts a name apart; only "Num +" is mended.
            if (name.find('+') != std::string::npos && name != "Num +")
                continue;
            ++named;
            EXPECT_EQ(hotKeyModule->Codec().FromText(name, localized), readsBackAs(key, localized))
                << key << " " << name;
            EXPECT_EQ(hotKeyModule->Codec().FromText(withCtrl, localized),
                      kHotKeyCtrl | readsBackAs(key, localized))
                << key << " " << withCtrl;
        }
        EXPECT_GT(named, 60) << "the layout names too few keys";
    }
}

} // namespace
