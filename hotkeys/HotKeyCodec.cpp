#include "hotkeys/HotKeyCodec.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace tervane {

namespace {

// Identifier of the US English layout whose key names the English form uses.
constexpr const char* kReferenceLayoutId = "00000409";
// How many installed layouts module start looks through.
constexpr std::size_t kInstalledLayoutLimit = 100;

// Many layouts give browser and media keys no name, or a one-letter one borrowed from the
// key that shares their scan code; these names stand in then.
constexpr std::uint32_t kFirstMediaKey = 166;
constexpr std::array<const char*, 18> kMediaKeyNames = {
    "Browser Back",        "Browser Forward",    "Browser Refresh",    "Browser Stop",
    "Browser Search",      "Browser Favorites",  "Browser Start/Home", "Volume Mute",
    "Volume Down",         "Volume Up",          "Next Track",         "Previous Track",
    "Stop Media",          "Play/Pause Media",   "Start Mail",         "Select Media",
    "Start Application 1", "Start Application 2"};

// Keys that share their scan code with another key and are told apart by the
// extended-key flag alone: Page Up to Down arrow, Insert and Delete (numeric-pad keys),
// Print Screen (the numeric pad's "*"), Num Lock (Pause) and the numeric pad's divide
// ("/"). Only with the flag does the layout give them their own name, so that each text
// reads back as its own key.
bool IsExtendedKey(std::uint32_t key) {
    return (key >= 33 && key <= 40) || key == 44 || key == 45 || key == 46 || key == 0x6F ||
           key == 0x90;
}

// Characters, not bytes: the names are UTF-8.
std::size_t CharacterCount(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

bool IsAsciiCapitals(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

std::string AsciiUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string_view Trim(std::string_view item) {
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!item.empty() && isBlank(item.front()))
        item.remove_prefix(1);
    while (!item.empty() && isBlank(item.back()))
        item.remove_suffix(1);
    return item;
}

std::string LayoutKeyName(KeyboardLayout& layout, std::uint32_t scanCode, bool extended) {
    // A request of 0 (no scan code, not extended) names nothing.
    if ((scanCode & 0xFF) == 0 && !extended)
        return {};
    return layout.KeyName(scanCode & 0xFF, extended);
}

// Items of a hotkey text, separated by "+". Spaces, carriage returns and line feeds
// before an item are skipped; an item ends at "+", a carriage return, a line feed or the
// end. An apostrophe or quotation mark opens a stretch that the same mark closes, in which
// nothing ends the item; the marks stay in the item. Empty items are dropped.
std::vector<std::string_view> SplitItems(std::string_view text) {
    std::vector<std::string_view> items;
    std::size_t pos = 0;
    const std::size_t end = text.size();
    while (pos < end) {
        while (pos < end && (text[pos] == ' ' || text[pos] == '\r' || text[pos] == '\n'))
            ++pos;
        const std::size_t start = pos;
        while (pos < end && text[pos] != '+' && text[pos] != '\r' && text[pos] != '\n') {
            const char c = text[pos++];
            if (c == '\'' || c == '"') {
                while (pos < end && text[pos] != c)
                    ++pos;
                if (pos < end)
                    ++pos;
            }
        }
        if (pos > start)
            items.push_back(text.substr(start, pos - start));
        ++pos; // the separator, or past the end
    }
    return items;
}

} // namespace

std::uint32_t GetHotKey(std::uint16_t modifiers, std::uint16_t key) {
    std::uint32_t flags = 0;
    if (modifiers & kHotKeyModAlt)
        flags += 0x80;
    if (modifiers & kHotKeyModControl)
        flags += 0x40;
    if (modifiers & kHotKeyModShift)
        flags += 0x20;
    if (modifiers & kHotKeyModWin)
        flags += 0x100;
    return (flags << 8) + key;
}

void SeparateHotKey(std::uint32_t hotKey, std::uint16_t& modifiers, std::uint16_t& key) {
    key = static_cast<std::uint16_t>(hotKey & kHotKeyKeyMask);
    std::uint16_t flags = 0;
    if (hotKey & kHotKeyWin)
        flags |= kHotKeyModWin;
    if (hotKey & kHotKeyAlt)
        flags |= kHotKeyModAlt;
    if (hotKey & kHotKeyCtrl)
        flags |= kHotKeyModControl;
    if (hotKey & kHotKeyShift)
        flags |= kHotKeyModShift;
    modifiers = flags;
}

HotKeyCodec::HotKeyCodec(KeyboardLayout& layout) : layout_(layout) {
    // The names the current layout gives the Shift, Ctrl and Alt keys themselves.
    shiftName_ = ToText(16, true);
    ctrlName_ = ToText(17, true);
    altName_ = ToText(18, true);
    // A layout that writes "ALT" in capitals gets "WIN" to match.
    if (IsAsciiCapitals(altName_))
        winName_ = AsciiUpper(winName_);

    const std::vector<LayoutHandle> installed = layout_.Installed(kInstalledLayoutLimit);
    reference_ = layout_.Load(kReferenceLayoutId);
    loadedHere_ = std::find(installed.begin(), installed.end(), reference_) == installed.end();
}

HotKeyCodec::~HotKeyCodec() {
    if (loadedHere_ && reference_ != 0)
        layout_.Unload(reference_);
}

std::string HotKeyCodec::ToText(std::uint32_t hotKey, bool localized) const {
    const std::uint32_t key = hotKey & kHotKeyKeyMask;
    std::string text;
    if (hotKey & kHotKeyCtrl)
        text += (localized ? ctrlName_ : std::string("Ctrl")) + "+";
    if (hotKey & kHotKeyShift)
        text += (localized ? shiftName_ : std::string("Shift")) + "+";
    if (hotKey & kHotKeyAlt)
        text += (localized ? altName_ : std::string("Alt")) + "+";
    if (hotKey & kHotKeyWin)
        text += (localized ? winName_ : std::string("Win")) + "+";
    return text + KeyName(key, localized);
}

std::uint32_t HotKeyCodec::FromText(std::string_view text, bool localized) const {
    const std::vector<std::string_view> items = SplitItems(text);
    if (items.empty())
        return 0;

    std::uint16_t modifiers = 0;
    if (items.size() >= 2) {
        for (std::size_t i = 0; i + 1 < items.size(); ++i) {
            const std::uint16_t flag = ModifierOf(Trim(items[i]));
            if (flag == 0)
                return 0; // an unknown modifier word: not a hotkey
            modifiers |= flag;
        }
    }

    const std::uint16_t key = KeyOf(items.back(), localized);
    if (key == 0)
        return 0;
    return GetHotKey(modifiers, key);
}

bool HotKeyCodec::SameIgnoringCase(std::string_view a, std::string_view b) const {
    return layout_.EqualIgnoringCase(a, b);
}

std::string HotKeyCodec::KeyName(std::uint32_t key, bool localized) const {
    const bool extended = IsExtendedKey(key);
    std::string name;
    if (localized) {
        name = LayoutKeyName(layout_, layout_.ScanCode(key), extended);
    } else {
        const std::uint32_t scanCode = layout_.ScanCodeIn(key, reference_);
        if ((scanCode & 0xFF) != 0 || extended) {
            // Key names come from the thread's current layout: switch to the reference
            // layout for this one lookup only.
            const LayoutHandle previous = layout_.Current();
            if (previous != reference_)
                layout_.Activate(reference_);
            name = LayoutKeyName(layout_, scanCode, extended);
            if (previous != reference_)
                layout_.Activate(previous);
        }
    }
    if (CharacterCount(name) < 2 && key >= kFirstMediaKey &&
        key < kFirstMediaKey + kMediaKeyNames.size())
        name = kMediaKeyNames[key - kFirstMediaKey];
    return name;
}

std::uint16_t HotKeyCodec::ModifierOf(std::string_view item) const {
    if (SameIgnoringCase(item, "Shift") || SameIgnoringCase(item, shiftName_))
        return kHotKeyModShift;
    if (SameIgnoringCase(item, "Ctrl") || SameIgnoringCase(item, ctrlName_))
        return kHotKeyModControl;
    if (SameIgnoringCase(item, "Alt") || SameIgnoringCase(item, altName_))
        return kHotKeyModAlt;
    if (SameIgnoringCase(item, "Win") || SameIgnoringCase(item, winName_))
        return kHotKeyModWin;
    return 0;
}

// A modifier word where the key belongs: compared with case, so that "shift" can still be
// found as the name of the Shift key.
bool HotKeyCodec::IsModifierWord(std::string_view item) const {
    for (std::string_view name :
         {std::string_view("Ctrl"), std::string_view(ctrlName_), std::string_view("Alt"),
          std::string_view(altName_), std::string_view("Shift"), std::string_view(shiftName_),
          std::string_view("Win"), std::string_view(winName_)})
        if (item == name)
            return true;
    return false;
}

// No cache: the names follow whatever layout the thread has now.
std::uint16_t HotKeyCodec::FindKey(std::string_view name, bool localized) const {
    for (std::uint16_t key = 8; key <= 255; ++key)
        if (SameIgnoringCase(ToText(key, localized), name))
            return key;
    return 0;
}

std::uint16_t HotKeyCodec::KeyOf(std::string_view lastItem, bool localized) const {
    std::string item(Trim(lastItem));
    // An item of blanks alone (a tab, say) names no key; searching for the empty name
    // would pick whichever key the layout leaves nameless.
    if (item.empty())
        return 0;
    if (CharacterCount(item) == 1) {
        if (item.size() == 1) {
            char c = item[0];
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
            if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))
                return static_cast<std::uint16_t>(c);
            item[0] = c;
        }
        return FindKey(item, localized);
    }
    // The "+" separator cuts the numeric-pad plus key's name "Num +" in two.
    if (item == "Num")
        item += " +";
    if (IsModifierWord(item))
        return 0;
    return FindKey(item, localized);
}

} // namespace tervane
