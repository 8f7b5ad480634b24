#include "hotkeys/HotKeyCodec.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace {

// Identifier of the US English layout whose key names the English form uses.
constexpr const char* ReferenceLayoutId = "00000409";
// How many installed layouts module start looks through.
constexpr std::size_t InstalledLayoutLimit = 100;

struct ModuleState {
    KeyboardLayout* layout = nullptr;
    std::string shiftName = "Shift";
    std::string ctrlName = "Ctrl";
    std::string altName = "Alt";
    std::string winName = "Win";
    LayoutHandle reference = 0;
    bool loadedHere = false;
};

ModuleState& State() {
    static ModuleState state;
    return state;
}

// Many layouts give browser and media keys no name, or a one-letter one borrowed from the
// key that shares their scan code; these names stand in then.
constexpr std::uint32_t FirstMediaKey = 166;
constexpr std::array<const char*, 18> MediaKeyNames = {
    "Browser Back",        "Browser Forward",    "Browser Refresh",    "Browser Stop",
    "Browser Search",      "Browser Favorites",  "Browser Start/Home", "Volume Mute",
    "Volume Down",         "Volume Up",          "Next Track",         "Previous Track",
    "Stop Media",          "Play/Pause Media",   "Start Mail",         "Select Media",
    "Start Application 1", "Start Application 2"};

// Page Up to Down arrow, Insert and Delete share their scan codes with numeric-pad keys;
// only with the extended-key flag does the layout name the dedicated key.
bool IsExtendedKey(std::uint32_t key) {
    return (key >= 33 && key <= 40) || key == 45 || key == 46;
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

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Before module start there is no layout service: ASCII case folding stands in.
bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (KeyboardLayout* layout = State().layout)
        return layout->EqualIgnoringCase(a, b);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
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

std::string KeyName(std::uint32_t key, bool extended, bool localized) {
    ModuleState& state = State();
    std::string name;
    if (KeyboardLayout* layout = state.layout) {
        if (localized) {
            name = LayoutKeyName(*layout, layout->ScanCode(key), extended);
        } else {
            const std::uint32_t scanCode = layout->ScanCodeIn(key, state.reference);
            if ((scanCode & 0xFF) != 0 || extended) {
                // Key names come from the thread's current layout: switch to the reference
                // layout for this one lookup only.
                const LayoutHandle previous = layout->Current();
                if (previous != state.reference) {
                    layout->Activate(state.reference);
                    name = LayoutKeyName(*layout, scanCode, extended);
                    layout->Activate(previous);
                } else {
                    name = LayoutKeyName(*layout, scanCode, extended);
                }
            }
        }
    }
    if (CharacterCount(name) < 2 && key >= FirstMediaKey &&
        key < FirstMediaKey + MediaKeyNames.size())
        name = MediaKeyNames[key - FirstMediaKey];
    return name;
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

std::uint16_t ModifierOf(std::string_view item) {
    const ModuleState& state = State();
    if (SameIgnoringCase(item, "Shift") || SameIgnoringCase(item, state.shiftName))
        return HotKeyModShift;
    if (SameIgnoringCase(item, "Ctrl") || SameIgnoringCase(item, state.ctrlName))
        return HotKeyModControl;
    if (SameIgnoringCase(item, "Alt") || SameIgnoringCase(item, state.altName))
        return HotKeyModAlt;
    if (SameIgnoringCase(item, "Win") || SameIgnoringCase(item, state.winName))
        return HotKeyModWin;
    return 0;
}

// A modifier word where the key belongs: compared with case, so that "shift" can still be
// found as the name of the Shift key.
bool IsModifierWord(std::string_view item) {
    const ModuleState& state = State();
    for (std::string_view name : {std::string_view("Ctrl"), std::string_view(state.ctrlName),
                                  std::string_view("Alt"), std::string_view(state.altName),
                                  std::string_view("Shift"), std::string_view(state.shiftName),
                                  std::string_view("Win"), std::string_view(state.winName)})
        if (item == name)
            return true;
    return false;
}

// No cache: the names follow whatever layout the thread has now.
std::uint16_t FindKey(std::string_view name, bool localized) {
    for (std::uint16_t key = 8; key <= 255; ++key)
        if (SameIgnoringCase(HotKeyToText(key, localized), name))
            return key;
    return 0;
}

std::uint16_t KeyOf(std::string_view lastItem, bool localized) {
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

} // namespace

std::uint32_t GetHotKey(std::uint16_t Modifiers, std::uint16_t Key) {
    std::uint32_t flags = 0;
    if (Modifiers & HotKeyModAlt)
        flags += 0x80;
    if (Modifiers & HotKeyModControl)
        flags += 0x40;
    if (Modifiers & HotKeyModShift)
        flags += 0x20;
    if (Modifiers & HotKeyModWin)
        flags += 0x100;
    return (flags << 8) + Key;
}

void SeparateHotKey(std::uint32_t HotKey, std::uint16_t& Modifiers, std::uint16_t& Key) {
    Key = static_cast<std::uint16_t>(HotKey & HotKeyKeyMask);
    std::uint16_t flags = 0;
    if (HotKey & HotKeyWin)
        flags |= HotKeyModWin;
    if (HotKey & HotKeyAlt)
        flags |= HotKeyModAlt;
    if (HotKey & HotKeyCtrl)
        flags |= HotKeyModControl;
    if (HotKey & HotKeyShift)
        flags |= HotKeyModShift;
    Modifiers = flags;
}

std::string HotKeyToText(std::uint32_t HotKey, bool Localized) {
    const ModuleState& state = State();
    const std::uint32_t key = HotKey & HotKeyKeyMask;
    std::string text;
    if (HotKey & HotKeyCtrl)
        text += (Localized ? state.ctrlName : std::string("Ctrl")) + "+";
    if (HotKey & HotKeyShift)
        text += (Localized ? state.shiftName : std::string("Shift")) + "+";
    if (HotKey & HotKeyAlt)
        text += (Localized ? state.altName : std::string("Alt")) + "+";
    if (HotKey & HotKeyWin)
        text += (Localized ? state.winName : std::string("Win")) + "+";
    return text + KeyName(key, IsExtendedKey(key), Localized);
}

std::uint32_t TextToHotKey(std::string_view Text, bool Localized) {
    const std::vector<std::string_view> items = SplitItems(Text);
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

    const std::uint16_t key = KeyOf(items.back(), Localized);
    if (key == 0)
        return 0;
    return GetHotKey(modifiers, key);
}

void HotKeyModuleStart(KeyboardLayout& layout) {
    ModuleState& state = State();
    state = ModuleState{};
    state.layout = &layout;

    // The names the current layout gives the Shift, Ctrl and Alt keys themselves.
    state.shiftName = HotKeyToText(16, true);
    state.ctrlName = HotKeyToText(17, true);
    state.altName = HotKeyToText(18, true);
    // A layout that writes "ALT" in capitals gets "WIN" to match.
    if (IsAsciiCapitals(state.altName))
        state.winName = AsciiUpper(state.winName);

    const std::vector<LayoutHandle> installed = layout.Installed(InstalledLayoutLimit);
    state.reference = layout.Load(ReferenceLayoutId);
    state.loadedHere =
        std::find(installed.begin(), installed.end(), state.reference) == installed.end();
}

void HotKeyModuleEnd() {
    ModuleState& state = State();
    if (state.loadedHere && state.layout && state.reference != 0)
        state.layout->Unload(state.reference);
    state = ModuleState{};
}
