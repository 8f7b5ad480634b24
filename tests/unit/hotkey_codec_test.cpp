// The hotkey codec over an in-memory keyboard layout that names keys as Windows does.
#include "hotkeys/HotKeyCodec.h"
#include "tests/unit/FakeKeyboardLayout.h"

#include <gtest/gtest.h>

using namespace tervane;

namespace {

class HotKeyCodecTest : public testing::Test {
  protected:
    void Start(LayoutHandle current) {
        codec.reset(); // before the layout it uses
        layout = std::make_unique<FakeKeyboardLayout>(current);
        codec = std::make_unique<HotKeyCodec>(*layout);
    }
    void SetUp() override { Start(FakeKeyboardLayout::UsEnglish); }

    std::unique_ptr<FakeKeyboardLayout> layout;
    std::unique_ptr<HotKeyCodec> codec;
};

TEST(HotKeyValue, GetHotKeyAndSeparateHotKeyAreInverse) {
    EXPECT_EQ(GetHotKey(kHotKeyModControl | kHotKeyModShift, 0x7B), 0x607Bu);
    EXPECT_EQ(GetHotKey(kHotKeyModAlt | kHotKeyModControl, 'X'), 0xC058u);
    EXPECT_EQ(GetHotKey(kHotKeyModWin, 'A'), 0x10041u);
    EXPECT_EQ(GetHotKey(0, 0x7B), 0x7Bu);
    // Flags beyond the four are ignored; the key is added with all its 16 bits.
    EXPECT_EQ(GetHotKey(0x10 | 0x4000 | kHotKeyModShift, 0x70), 0x2070u);
    EXPECT_EQ(GetHotKey(0, 0x1FF), 0x1FFu);

    std::uint16_t mods = 0xFFFF, key = 0xFFFF;
    SeparateHotKey(0x1E07B, mods, key);
    EXPECT_EQ(mods, kHotKeyModAlt | kHotKeyModControl | kHotKeyModShift | kHotKeyModWin);
    EXPECT_EQ(key, 0x7B);
    // Bits outside the key and the four modifiers are ignored.
    SeparateHotKey(0xFFFE1F41, mods, key);
    EXPECT_EQ(mods, 0);
    EXPECT_EQ(key, 0x41);

    for (std::uint16_t m = 0; m < 16; ++m) {
        for (std::uint16_t k = 1; k <= 255; ++k) {
            const std::uint32_t value = GetHotKey(m, k);
            SeparateHotKey(value, mods, key);
            ASSERT_EQ(mods, m) << "value " << value;
            ASSERT_EQ(key, k) << "value " << value;
        }
    }
    SeparateHotKey(0x10000, mods, key);
    EXPECT_EQ(mods, kHotKeyModWin);
    EXPECT_EQ(GetHotKey(mods, key), 0x10000u);
}

TEST_F(HotKeyCodecTest, TextsOfAnEnglishLayoutConvertBothWays) {
    for (bool localized : {true, false}) {
        SCOPED_TRACE(localized ? "localised" : "English");
        EXPECT_EQ(codec->FromText("Ctrl+Shift+F12", localized), 0x607Bu);
        EXPECT_EQ(codec->ToText(0x607B, localized), "Ctrl+Shift+F12");
        // The modifiers are always written in the order Ctrl, Shift, Alt, Win.
        EXPECT_EQ(codec->FromText("alt+ctrl+x", localized), 0xC058u);
        EXPECT_EQ(codec->ToText(0xC058, localized), "Ctrl+Alt+X");
        EXPECT_EQ(codec->ToText(0x1E07B, localized), "Ctrl+Shift+Alt+Win+F12");
        EXPECT_EQ(codec->FromText("Win+Alt+Shift+Ctrl+F12", localized), 0x1E07Bu);
        // Spaces around the names and the separators.
        EXPECT_EQ(codec->FromText(" Ctrl + Alt + Num 1 ", localized), 0xC061u);
        EXPECT_EQ(codec->FromText("Ctrl+Alt+Num 1", localized), 0xC061u);
        EXPECT_EQ(codec->ToText(0xC061, localized), "Ctrl+Alt+Num 1");
        // Tabs are trimmed from the items; line breaks end an item.
        EXPECT_EQ(codec->FromText("Ctrl\t+\tF12\t", localized), 0x407Bu);
        EXPECT_EQ(codec->FromText("Ctrl\r\nShift+F12", localized), 0x607Bu);
        EXPECT_EQ(codec->FromText("\nCtrl\n+\nF12", localized), 0x407Bu);
        // The numeric-pad plus key, whose name the separator cuts in two.
        EXPECT_EQ(codec->FromText("Ctrl+Num +", localized), 0x406Bu);
        EXPECT_EQ(codec->ToText(0x406B, localized), "Ctrl+Num +");
        EXPECT_EQ(codec->FromText("Ctrl+num +", localized), 0u);
        // A single item needs no modifier.
        EXPECT_EQ(codec->FromText("F12", localized), 0x7Bu);
        EXPECT_EQ(codec->ToText(0x7B, localized), "F12");
        // A single letter or digit is its own key code.
        EXPECT_EQ(codec->FromText("Ctrl+a", localized), 0x4041u);
        EXPECT_EQ(codec->FromText("Shift+7", localized), 0x2037u);
        EXPECT_EQ(codec->FromText("Ctrl+/", localized), 0x40BFu);
        // Dedicated keys are named with the extended flag, numeric-pad keys without.
        EXPECT_EQ(codec->ToText(0x21, localized), "Page Up");
        EXPECT_EQ(codec->ToText(0x69, localized), "Num 9");
        EXPECT_EQ(codec->ToText(0x2E, localized), "Delete");
        EXPECT_EQ(codec->FromText("Shift+Win+Page Up", localized), 0x12021u);
        EXPECT_EQ(codec->ToText(0x12021, localized), "Shift+Win+Page Up");
        EXPECT_EQ(codec->FromText("Ctrl+Num 9", localized), 0x4069u);
        EXPECT_EQ(codec->FromText("page down", localized), 0x22u);
        EXPECT_EQ(codec->ToText(0, localized), "");
    }
}

TEST_F(HotKeyCodecTest, TextsThatAreNoHotKeyGiveZero) {
    EXPECT_EQ(codec->FromText("", true), 0u);
    EXPECT_EQ(codec->FromText("  \r\n ", true), 0u);
    EXPECT_EQ(codec->FromText("+++", true), 0u);
    // Empty items are dropped: Ctrl is left alone in the key position.
    EXPECT_EQ(codec->FromText("Ctrl+", true), 0u);
    EXPECT_EQ(codec->FromText("Ctrl++", true), 0u);
    // A modifier word in the key position, compared with case.
    EXPECT_EQ(codec->FromText("Ctrl+Shift", true), 0u);
    EXPECT_EQ(codec->FromText("Ctrl+Alt", true), 0u);
    EXPECT_EQ(codec->FromText("Shift+Win", true), 0u);
    EXPECT_EQ(codec->FromText("Win", true), 0u);
    // In any other case it is the modifier key's own name.
    EXPECT_EQ(codec->FromText("Ctrl+shift", true), 0x4010u);
    EXPECT_EQ(codec->FromText("Ctrl+ALT", true), 0x4012u);
    EXPECT_EQ(codec->FromText("Shift", false), 0u);
    EXPECT_EQ(codec->FromText("ctrl", false), 0x11u);
    // An item that names no modifier spoils the whole text.
    EXPECT_EQ(codec->FromText("Hyper+F1", true), 0u);
    EXPECT_EQ(codec->FromText("Ctrl+Hyper+F1", true), 0u);
    EXPECT_EQ(codec->FromText("Ctrl+F1+F2", true), 0u);
    // A key name that no key carries.
    EXPECT_EQ(codec->FromText("Ctrl+Frobnicate", true), 0u);
    EXPECT_EQ(codec->FromText("Ctrl+F13", true), 0u);
    EXPECT_EQ(codec->FromText("Ctrl+@", true), 0u);
    // A key item of blanks only names no key, though the layout leaves keys nameless.
    EXPECT_EQ(codec->FromText("Ctrl+\t", true), 0u);
    EXPECT_EQ(codec->FromText("\t", true), 0u);
}

TEST_F(HotKeyCodecTest, KeySearchRunsFromCode8To255AndTakesTheFirst) {
    FakeLayoutTable& us = layout->layouts.at(FakeKeyboardLayout::UsEnglish);
    us.Key(7, 0x70, "Seven").Key(255, 0x71, "Last Key");
    EXPECT_EQ(codec->FromText("Backspace", true), 8u);
    EXPECT_EQ(codec->FromText("Ctrl+last key", true), 0x40FFu);
    EXPECT_EQ(codec->FromText("Ctrl+Seven", true), 0u);
    // Code 160 (left Shift) carries the same name as code 16: the lower code wins.
    EXPECT_EQ(codec->FromText("Alt+shift", true), 0x8010u);
    // "Num 1" is also the plain name of End's scan code; End is named with the extended
    // flag, so the numeric-pad key (97) is found.
    EXPECT_EQ(codec->FromText("Num 1", true), 0x61u);
    // One character that is no letter or digit is searched for among the names.
    EXPECT_EQ(codec->FromText("Alt+;", true), 0x80BAu);
    EXPECT_EQ(codec->FromText("Alt+`", true), 0x80C0u);
}

TEST_F(HotKeyCodecTest, QuotesKeepSeparatorsInsideAnItem) {
    // A name with a quoted "+" can only be read because the quotes protect the separator.
    layout->layouts.at(FakeKeyboardLayout::UsEnglish)
        .Key(226, 0x56, "\"+\"")
        .Key(223, 0x73, "'a+b'");
    EXPECT_EQ(codec->ToText(0x40E2, true), "Ctrl+\"+\"");
    EXPECT_EQ(codec->FromText("Ctrl+\"+\"", true), 0x40E2u);
    EXPECT_EQ(codec->FromText("Ctrl + 'a+b' ", true), 0x40DFu);
    // The marks stay part of the item: a quoted modifier name is no modifier.
    EXPECT_EQ(codec->FromText("\"Ctrl\"+A", true), 0u);
    // An apostrophe inside quotation marks does not close them.
    EXPECT_EQ(codec->FromText("Ctrl+\"a'+b\"", true), 0u);
    // An unclosed quote runs to the end of the text.
    EXPECT_EQ(codec->FromText("Ctrl+'F1+Shift", true), 0u);
    EXPECT_EQ(codec->FromText("Ctrl+'", true), 0x40DEu); // the apostrophe key's own name
}

TEST_F(HotKeyCodecTest, MediaKeysWithoutALayoutNameUseTheirTableName) {
    EXPECT_EQ(codec->ToText(173, true), "Volume Mute");
    EXPECT_EQ(codec->ToText(173, false), "Volume Mute");
    EXPECT_EQ(codec->ToText(166, true), "Browser Back");
    EXPECT_EQ(codec->ToText(172, true), "Browser Start/Home");
    EXPECT_EQ(codec->ToText(179, true), "Play/Pause Media");
    EXPECT_EQ(codec->ToText(183, true), "Start Application 2");
    EXPECT_EQ(codec->ToText(0x40B0, true), "Ctrl+Next Track");
    EXPECT_EQ(codec->FromText("Ctrl+Volume Mute", true), 0x40ADu);
    EXPECT_EQ(codec->FromText("Start Application 1", true), 0xB6u);
    // Outside 166-183 a key without a name is written as its prefix alone.
    EXPECT_EQ(codec->ToText(0x40B8, true), "Ctrl+");
    EXPECT_EQ(codec->ToText(0xA5, true), "");

    FakeLayoutTable& us = layout->layouts.at(FakeKeyboardLayout::UsEnglish);
    // A one-letter name borrowed from another key gives way to the table name ...
    us.Key(174, 0x20, "D");
    EXPECT_EQ(codec->ToText(174, true), "Volume Down");
    // ... but a real name of two or more characters is kept.
    us.Key(175, 0x74, "Lauter");
    EXPECT_EQ(codec->ToText(175, true), "Lauter");
    // A one-letter name of any other key stays.
    EXPECT_EQ(codec->ToText(0x4044, true), "Ctrl+D");
}

TEST_F(HotKeyCodecTest, LayoutModifierNamesAreWrittenAndBothNamesParse) {
    codec.reset();
    Start(FakeKeyboardLayout::German);

    // German names its Alt key in capitals only, so Win is written in capitals too.
    EXPECT_EQ(codec->ToText(0x1E07B, true), "Strg+Umschalt+ALT+WIN+F12");
    EXPECT_EQ(codec->ToText(0x1E07B, false), "Ctrl+Shift+Alt+Win+F12");
    EXPECT_EQ(codec->ToText(0x6021, true), "Strg+Umschalt+Bild-Auf");
    for (bool localized : {true, false}) {
        SCOPED_TRACE(localized ? "localised" : "English");
        EXPECT_EQ(codec->FromText("Strg+Umschalt+F12", localized), 0x607Bu);
        EXPECT_EQ(codec->FromText("Ctrl+Shift+F12", localized), 0x607Bu);
        EXPECT_EQ(codec->FromText("strg+shift+alt+win+F12", localized), 0x1E07Bu);
        EXPECT_EQ(codec->FromText("WIN+A", localized), 0x10041u);
        EXPECT_EQ(codec->FromText("Win+A", localized), 0x10041u);
        EXPECT_EQ(codec->FromText("Ctrl+Hyper+A", localized), 0u);
        // Either name of a modifier in the key position, written with case, is no key.
        EXPECT_EQ(codec->FromText("Strg+Umschalt", localized), 0u);
        EXPECT_EQ(codec->FromText("Strg+Shift", localized), 0u);
        EXPECT_EQ(codec->FromText("Strg+WIN", localized), 0u);
    }
    // Key names are searched in the form asked for.
    EXPECT_EQ(codec->FromText("Strg+Bild-Auf", true), 0x4021u);
    EXPECT_EQ(codec->FromText("Strg+Bild-Auf", false), 0u);
    EXPECT_EQ(codec->FromText("Ctrl+Page Up", false), 0x4021u);
    EXPECT_EQ(codec->FromText("Ctrl+Page Up", true), 0u);
    // "ALT" with other case is the Alt key's name.
    EXPECT_EQ(codec->FromText("Strg+alt", true), 0x4012u);
    // A one-character name beyond ASCII is looked up like any other.
    EXPECT_EQ(codec->FromText("Strg+\xC3\x9C", true), 0x40BAu);
    EXPECT_EQ(codec->ToText(0x40BA, true), "Strg+\xC3\x9C");
}

TEST_F(HotKeyCodecTest, WinIsWrittenInCapitalsOnlyWhenTheAltNameIs) {
    EXPECT_EQ(codec->ToText(0x10041, true), "Win+A");

    codec.reset();
    layout = std::make_unique<FakeKeyboardLayout>();
    layout->RenameKey(FakeKeyboardLayout::UsEnglish, 18, "ALT");
    codec = std::make_unique<HotKeyCodec>(*layout);
    EXPECT_EQ(codec->ToText(0x18041, true), "ALT+WIN+A");
    EXPECT_EQ(codec->ToText(0x18041, false), "Alt+Win+A");
    EXPECT_EQ(codec->FromText("ALT+WIN+A", true), 0x18041u);
    EXPECT_EQ(codec->FromText("alt+win+a", true), 0x18041u);
    codec.reset();

    // "Alt Gr" is not capitals only.
    layout = std::make_unique<FakeKeyboardLayout>();
    layout->RenameKey(FakeKeyboardLayout::UsEnglish, 18, "ALT GR");
    codec = std::make_unique<HotKeyCodec>(*layout);
    EXPECT_EQ(codec->ToText(0x18041, true), "ALT GR+Win+A");
    EXPECT_EQ(codec->FromText("ALT GR+A", true), 0x8041u);
    codec.reset();

    // No name at all counts as capitals.
    layout = std::make_unique<FakeKeyboardLayout>();
    layout->RemoveKey(FakeKeyboardLayout::UsEnglish, 18);
    codec = std::make_unique<HotKeyCodec>(*layout);
    EXPECT_EQ(codec->ToText(0x10041, true), "WIN+A");
}

TEST_F(HotKeyCodecTest, LoadsTheReferenceLayoutAndUnloadsItOnlyWhenNotInstalled) {
    // US English installed: loaded (for its handle) but left installed at the end.
    EXPECT_EQ(layout->loadRequests, std::vector<std::string>{"00000409"});
    codec.reset();
    EXPECT_TRUE(layout->unloads.empty());

    // Not installed: the codec loads it and unloads it when destroyed.
    Start(FakeKeyboardLayout::German);
    EXPECT_EQ(layout->loadRequests, std::vector<std::string>{"00000409"});
    EXPECT_EQ(layout->installed.size(), 2u);
    codec.reset();
    EXPECT_EQ(layout->unloads, std::vector<LayoutHandle>{FakeKeyboardLayout::UsEnglish});
    EXPECT_EQ(layout->installed, std::vector<LayoutHandle>{FakeKeyboardLayout::German});

    // Only the first 100 installed layouts are looked at.
    codec.reset();
    layout = std::make_unique<FakeKeyboardLayout>(FakeKeyboardLayout::German);
    for (LayoutHandle h = 1; h < 100; ++h)
        layout->installed.push_back(0x1000 + h);
    layout->installed.push_back(FakeKeyboardLayout::UsEnglish); // the 101st
    codec = std::make_unique<HotKeyCodec>(*layout);
    codec.reset();
    EXPECT_EQ(layout->unloads, std::vector<LayoutHandle>{FakeKeyboardLayout::UsEnglish});

    codec.reset();
    layout = std::make_unique<FakeKeyboardLayout>(FakeKeyboardLayout::German);
    for (LayoutHandle h = 1; h < 99; ++h)
        layout->installed.push_back(0x1000 + h);
    layout->installed.push_back(FakeKeyboardLayout::UsEnglish); // the 100th
    codec = std::make_unique<HotKeyCodec>(*layout);
    codec.reset();
    EXPECT_TRUE(layout->unloads.empty());
}

TEST_F(HotKeyCodecTest, EnglishFormReadsNamesUnderTheReferenceLayoutAndRestoresThePrevious) {
    codec.reset();
    Start(FakeKeyboardLayout::German);
    layout->activations.clear();
    layout->namesRead.clear();

    // VK_OEM_1 is "Ü" on the German layout and ";" on the US one, on another scan code:
    // only the reference layout's scan code read under the reference layout gives ";".
    EXPECT_EQ(codec->ToText(0x40BA, false), "Ctrl+;");
    EXPECT_EQ(layout->Current(), FakeKeyboardLayout::German);
    EXPECT_EQ(layout->activations, (std::vector<LayoutHandle>{FakeKeyboardLayout::UsEnglish,
                                                              FakeKeyboardLayout::German}));
    ASSERT_EQ(layout->namesRead.size(), 1u);
    EXPECT_EQ(layout->namesRead[0].first, FakeKeyboardLayout::UsEnglish);
    EXPECT_EQ(codec->ToText(0x40BA, true), "Strg+\xC3\x9C");
    EXPECT_EQ(codec->ToText(0x5A, false), "Z");

    // Parsing in the English form searches the US names and leaves the German layout on.
    layout->activations.clear();
    layout->namesRead.clear();
    EXPECT_EQ(codec->FromText("Ctrl+;", false), 0x40BAu);
    EXPECT_EQ(codec->FromText("Strg+Page Up", false), 0x4021u);
    EXPECT_EQ(layout->Current(), FakeKeyboardLayout::German);
    EXPECT_EQ(layout->activations.size(), 2 * layout->namesRead.size());
    EXPECT_FALSE(layout->namesRead.empty());
    for (const auto& [current, name] : layout->namesRead)
        EXPECT_EQ(current, FakeKeyboardLayout::UsEnglish) << name;

    // A key the reference layout has no scan code for is not looked up at all.
    layout->activations.clear();
    EXPECT_EQ(codec->ToText(173, false), "Volume Mute");
    EXPECT_TRUE(layout->activations.empty());

    // With the reference layout already current nothing is switched.
    codec.reset();
    Start(FakeKeyboardLayout::UsEnglish);
    EXPECT_EQ(codec->ToText(0x607B, false), "Ctrl+Shift+F12");
    EXPECT_TRUE(layout->activations.empty());
}

} // namespace
