#include "gtk/KeyNames.h"

#include "hotkeys/HotKeyCodec.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tervane {

namespace {

// Letters and digits are added by code below; these are the other keys a hotkey can use.
constexpr std::array kNamedKeys{
    DesktopKey{0x08, "BackSpace", "BackSpace"},
    DesktopKey{0x09, "Tab", "Tab"},
    DesktopKey{0x0D, "Return", "Return"},
    DesktopKey{0x10, "Shift_L", "Shift"},
    DesktopKey{0x11, "Control_L", "Ctrl"},
    DesktopKey{0x12, "Alt_L", "Alt"},
    DesktopKey{0x13, "Pause", "Pause"},
    DesktopKey{0x1B, "Escape", "Escape"},
    DesktopKey{0x20, "space", "Space"},
    DesktopKey{0x21, "Page_Up", "Page Up"},
    DesktopKey{0x22, "Page_Down", "Page Down"},
    DesktopKey{0x23, "End", "End"},
    DesktopKey{0x24, "Home", "Home"},
    DesktopKey{0x25, "Left", "Left"},
    DesktopKey{0x26, "Up", "Up"},
    DesktopKey{0x27, "Right", "Right"},
    DesktopKey{0x28, "Down", "Down"},
    DesktopKey{0x2C, "Print", "Print"},
    DesktopKey{0x2D, "Insert", "Insert"},
    DesktopKey{0x2E, "Delete", "Delete"},
    DesktopKey{0x60, "KP_0", "KP 0"},
    DesktopKey{0x61, "KP_1", "KP 1"},
    DesktopKey{0x62, "KP_2", "KP 2"},
    DesktopKey{0x63, "KP_3", "KP 3"},
    DesktopKey{0x64, "KP_4", "KP 4"},
    DesktopKey{0x65, "KP_5", "KP 5"},
    DesktopKey{0x66, "KP_6", "KP 6"},
    DesktopKey{0x67, "KP_7", "KP 7"},
    DesktopKey{0x68, "KP_8", "KP 8"},
    DesktopKey{0x69, "KP_9", "KP 9"},
    DesktopKey{0x6A, "KP_Multiply", "KP *"},
    DesktopKey{0x6B, "KP_Add", "KP Add"}, // "+" separates a hotkey's items
    DesktopKey{0x6D, "KP_Subtract", "KP -"},
    DesktopKey{0x6E, "KP_Decimal", "KP ."},
    DesktopKey{0x6F, "KP_Divide", "KP /"},
    DesktopKey{0x90, "Num_Lock", "Num Lock"},
    DesktopKey{0x91, "Scroll_Lock", "Scroll Lock"},
    DesktopKey{0xA6, "XF86Back", "Back"},
    DesktopKey{0xA7, "XF86Forward", "Forward"},
    DesktopKey{0xA8, "XF86Refresh", "Refresh"},
    DesktopKey{0xA9, "XF86Stop", "Stop"},
    DesktopKey{0xAA, "XF86Search", "Search"},
    DesktopKey{0xAB, "XF86Favorites", "Favorites"},
    DesktopKey{0xAC, "XF86HomePage", "HomePage"},
    DesktopKey{0xAD, "XF86AudioMute", "AudioMute"},
    DesktopKey{0xAE, "XF86AudioLowerVolume", "AudioLowerVolume"},
    DesktopKey{0xAF, "XF86AudioRaiseVolume", "AudioRaiseVolume"},
    DesktopKey{0xB0, "XF86AudioNext", "AudioNext"},
    DesktopKey{0xB1, "XF86AudioPrev", "AudioPrev"},
    DesktopKey{0xB2, "XF86AudioStop", "AudioStop"},
    DesktopKey{0xB3, "XF86AudioPlay", "AudioPlay"},
    DesktopKey{0xB4, "XF86Mail", "Mail"},
    DesktopKey{0xB5, "XF86AudioMedia", "AudioMedia"},
    DesktopKey{0xB6, "XF86MyComputer", "MyComputer"},
    DesktopKey{0xB7, "XF86Calculator", "Calculator"},
    DesktopKey{0xBA, "semicolon", ";"},
    DesktopKey{0xBB, "equal", "="},
    DesktopKey{0xBC, "comma", ","},
    DesktopKey{0xBD, "minus", "-"},
    DesktopKey{0xBE, "period", "."},
    DesktopKey{0xBF, "slash", "/"},
    DesktopKey{0xC0, "grave", "`"},
    DesktopKey{0xDB, "bracketleft", "["},
    DesktopKey{0xDC, "backslash", "\\"},
    DesktopKey{0xDD, "bracketright", "]"},
    DesktopKey{0xDE, "apostrophe", "'"},
};

// Keysym names and labels of the letters (keysym "a", label "A"), the digits and F1-F24,
// made once.
struct GeneratedKey {
    std::string keysym;
    std::string label;
};

const std::array<GeneratedKey, 256>& GeneratedKeys() {
    static const std::array<GeneratedKey, 256> keys = [] {
        std::array<GeneratedKey, 256> made{};
        for (char c = 'A'; c <= 'Z'; ++c)
            made[static_cast<std::size_t>(c)] = {std::string(1, static_cast<char>(c - 'A' + 'a')),
                                                 std::string(1, c)};
        for (char c = '0'; c <= '9'; ++c)
            made[static_cast<std::size_t>(c)] = {std::string(1, c), std::string(1, c)};
        for (int f = 1; f <= 24; ++f)
            made[static_cast<std::size_t>(0x6F + f)] = {"F" + std::to_string(f),
                                                        "F" + std::to_string(f)};
        return made;
    }();
    return keys;
}

// The rows of generated keys, built on first use so that lookups give stable pointers.
const std::array<DesktopKey, 256>& GeneratedRows() {
    static const std::array<DesktopKey, 256> rows = [] {
        std::array<DesktopKey, 256> made{};
        const auto& keys = GeneratedKeys();
        for (std::size_t vk = 0; vk < keys.size(); ++vk)
            made[vk] = {static_cast<std::uint16_t>(vk), keys[vk].keysym.c_str(),
                        keys[vk].label.c_str()};
        return made;
    }();
    return rows;
}

char AsciiLower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

} // namespace

const DesktopKey* DesktopKeyOf(std::uint16_t virtualKey) {
    for (const DesktopKey& key : kNamedKeys)
        if (key.virtualKey == virtualKey)
            return &key;
    if (virtualKey < 256 && !GeneratedKeys()[virtualKey].keysym.empty())
        return &GeneratedRows()[virtualKey];
    return nullptr;
}

const DesktopKey* DesktopKeyOfKeysym(std::string_view keysym) {
    for (const DesktopKey& key : kNamedKeys)
        if (keysym == key.keysym)
            return &key;
    // A letter arrives as its capital when Shift was held.
    std::string name(keysym);
    if (name.size() == 1)
        name[0] = AsciiLower(name[0]);
    for (const DesktopKey& row : GeneratedRows())
        if (row.keysym && *row.keysym && name == row.keysym)
            return &row;
    return nullptr;
}

std::uint32_t DesktopKeyboardLayout::ScanCode(std::uint32_t virtualKey) {
    return virtualKey < 256 && DesktopKeyOf(static_cast<std::uint16_t>(virtualKey)) ? virtualKey
                                                                                    : 0;
}

std::uint32_t DesktopKeyboardLayout::ScanCodeIn(std::uint32_t virtualKey, LayoutHandle) {
    return ScanCode(virtualKey);
}

std::string DesktopKeyboardLayout::KeyName(std::uint32_t scanCode, bool) {
    const DesktopKey* key = DesktopKeyOf(static_cast<std::uint16_t>(scanCode));
    return key ? key->label : "";
}

std::vector<LayoutHandle> DesktopKeyboardLayout::Installed(std::size_t limit) {
    if (limit == 0)
        return {};
    return {kOnlyLayout};
}

// The labels are ASCII; other characters compare as they are.
bool DesktopKeyboardLayout::EqualIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

std::string AcceleratorOf(std::uint32_t hotKey) {
    const DesktopKey* key = DesktopKeyOf(static_cast<std::uint16_t>(hotKey & kHotKeyKeyMask));
    if (!key)
        return {};
    std::string accelerator;
    if (hotKey & kHotKeyCtrl)
        accelerator += "<Ctrl>";
    if (hotKey & kHotKeyShift)
        accelerator += "<Shift>";
    if (hotKey & kHotKeyAlt)
        accelerator += "<Alt>";
    if (hotKey & kHotKeyWin)
        accelerator += "<Super>";
    return accelerator + key->keysym;
}

std::uint32_t EntryHotKey(std::string_view keysym, bool ctrl, bool shift, bool alt) {
    const DesktopKey* key = DesktopKeyOfKeysym(keysym);
    // A modifier key on its own is not a hotkey yet: the field waits for the main key.
    if (!key || key->virtualKey == 0x10 || key->virtualKey == 0x11 || key->virtualKey == 0x12)
        return 0;
    std::uint32_t value = key->virtualKey;
    if (!ctrl && !alt)
        return value;
    if (ctrl)
        value |= kHotKeyCtrl;
    if (shift)
        value |= kHotKeyShift;
    if (alt)
        value |= kHotKeyAlt;
    return value;
}

} // namespace tervane
