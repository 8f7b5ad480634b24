#pragma once
// In-memory keyboard-layout service for the native tests of the hotkey codec. It answers
// as Windows does for a US English and a German layout: scan codes per layout, key names
// from the thread's current layout (the dedicated keys with the extended flag), a list of
// installed layouts that loading and unloading change, and ASCII case folding. Tests may
// rename keys or take names away, and read what was loaded, activated and unloaded.
#include "hotkeys/KeyboardLayout.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tervane {

struct FakeLayoutTable {
    std::map<std::uint32_t, std::uint32_t> scanCodes;            // virtual key -> scan code
    std::map<std::pair<std::uint32_t, bool>, std::string> names; // (scan, extended) -> name

    // A key: its virtual-key code, scan code and the name of that scan code.
    FakeLayoutTable& Key(std::uint32_t vk, std::uint32_t scan, std::string name) {
        scanCodes[vk] = scan;
        names[{scan, false}] = std::move(name);
        return *this;
    }
    // A dedicated key sharing its scan code with a numeric-pad key.
    FakeLayoutTable& Extended(std::uint32_t vk, std::uint32_t scan, std::string name) {
        scanCodes[vk] = scan;
        names[{scan, true}] = std::move(name);
        return *this;
    }
};

namespace fake_layout_detail {

// Keys whose scan codes and names are alike in both layouts here.
inline FakeLayoutTable CommonKeys() {
    FakeLayoutTable t;
    const char* row1 = "QWERTYUIOP";
    for (std::uint32_t i = 0; row1[i]; ++i)
        t.Key(static_cast<std::uint32_t>(row1[i]), 0x10 + i, std::string(1, row1[i]));
    const char* row2 = "ASDFGHJKL";
    for (std::uint32_t i = 0; row2[i]; ++i)
        t.Key(static_cast<std::uint32_t>(row2[i]), 0x1E + i, std::string(1, row2[i]));
    const char* row3 = "ZXCVBNM";
    for (std::uint32_t i = 0; row3[i]; ++i)
        t.Key(static_cast<std::uint32_t>(row3[i]), 0x2C + i, std::string(1, row3[i]));
    for (std::uint32_t d = 1; d <= 9; ++d)
        t.Key('0' + d, 0x01 + d, std::string(1, char('0' + d)));
    t.Key('0', 0x0B, "0");
    for (std::uint32_t f = 0; f < 10; ++f)
        t.Key(112 + f, 0x3B + f, "F" + std::to_string(f + 1));
    t.Key(122, 0x57, "F11").Key(123, 0x58, "F12");
    // Numeric pad: the same scan codes as the dedicated keys, without the extended flag.
    const std::uint32_t padScans[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
    for (std::uint32_t n = 0; n < 10; ++n)
        t.Key(96 + n, padScans[n], "Num " + std::to_string(n));
    t.Key(106, 0x37, "Num *").Key(107, 0x4E, "Num +").Key(109, 0x4A, "Num -");
    return t;
}

} // namespace fake_layout_detail

inline FakeLayoutTable UsEnglishLayoutTable() {
    FakeLayoutTable t = fake_layout_detail::CommonKeys();
    t.Key(8, 0x0E, "Backspace").Key(9, 0x0F, "Tab").Key(13, 0x1C, "Enter");
    t.Key(16, 0x2A, "Shift").Key(17, 0x1D, "Ctrl").Key(18, 0x38, "Alt");
    t.Key(20, 0x3A, "Caps Lock").Key(27, 0x01, "Esc").Key(32, 0x39, "Space");
    t.Extended(33, 0x49, "Page Up").Extended(34, 0x51, "Page Down");
    t.Extended(35, 0x4F, "End").Extended(36, 0x47, "Home");
    t.Extended(37, 0x4B, "Left").Extended(38, 0x48, "Up");
    t.Extended(39, 0x4D, "Right").Extended(40, 0x50, "Down");
    t.Extended(45, 0x52, "Insert").Extended(46, 0x53, "Delete");
    t.Key(110, 0x53, "Num Del");
    t.Key(186, 0x27, ";").Key(187, 0x0D, "=").Key(188, 0x33, ",").Key(189, 0x0C, "-");
    t.Key(190, 0x34, ".").Key(191, 0x35, "/").Key(192, 0x29, "`");
    t.Key(219, 0x1A, "[").Key(220, 0x2B, "\\").Key(221, 0x1B, "]").Key(222, 0x28, "'");
    t.Key(160, 0x2A, "Shift").Key(161, 0x36, "Right Shift");
    return t;
}

inline FakeLayoutTable GermanLayoutTable() {
    FakeLayoutTable t = fake_layout_detail::CommonKeys();
    // Y and Z trade places.
    t.Key('Z', 0x15, "Z").Key('Y', 0x2C, "Y");
    t.Key(8, 0x0E,
          "R\xC3\xBC"
          "cktaste")
        .Key(9, 0x0F, "Tabulator")
        .Key(13, 0x1C, "Eingabe");
    t.Key(16, 0x2A, "Umschalt").Key(17, 0x1D, "Strg").Key(18, 0x38, "ALT");
    t.Key(20, 0x3A, "Feststell").Key(27, 0x01, "ESC").Key(32, 0x39, "Leer");
    t.Extended(33, 0x49, "Bild-Auf").Extended(34, 0x51, "Bild-Ab");
    t.Extended(35, 0x4F, "Ende").Extended(36, 0x47, "Pos1");
    t.Extended(37, 0x4B, "Nach-Links").Extended(38, 0x48, "Nach-Oben");
    t.Extended(39, 0x4D, "Nach-Rechts").Extended(40, 0x50, "Nach-Unten");
    t.Extended(45, 0x52, "Einfg").Extended(46, 0x53, "Entf");
    t.Key(110, 0x53, "Num ,");
    t.Key(186, 0x1A, "\xC3\x9C").Key(187, 0x1B, "+").Key(188, 0x33, ",").Key(189, 0x35, "-");
    t.Key(190, 0x34, ".").Key(191, 0x2B, "#").Key(192, 0x27, "\xC3\x96");
    t.Key(219, 0x0C, "\xC3\x9F").Key(220, 0x29, "^").Key(222, 0x28, "\xC3\x84");
    return t;
}

class FakeKeyboardLayout : public KeyboardLayout {
  public:
    static constexpr LayoutHandle UsEnglish = 0x04090409;
    static constexpr LayoutHandle German = 0x04070407;

    // A machine with only `current` installed and active; both layouts can be loaded.
    explicit FakeKeyboardLayout(LayoutHandle current = UsEnglish)
        : layouts{{UsEnglish, UsEnglishLayoutTable()}, {German, GermanLayoutTable()}},
          installed{current}, current_(current) {}

    std::map<LayoutHandle, FakeLayoutTable> layouts;
    std::vector<LayoutHandle> installed;
    // What the code under test asked for, in order.
    std::vector<std::string> loadRequests;
    std::vector<LayoutHandle> activations;
    std::vector<LayoutHandle> unloads;
    // Names read, each with the layout that was current at the time.
    std::vector<std::pair<LayoutHandle, std::string>> namesRead;

    std::uint32_t ScanCode(std::uint32_t virtualKey) override {
        return ScanCodeIn(virtualKey, current_);
    }
    std::uint32_t ScanCodeIn(std::uint32_t virtualKey, LayoutHandle layout) override {
        auto table = layouts.find(layout == 0 ? current_ : layout);
        if (table == layouts.end())
            return 0;
        auto scan = table->second.scanCodes.find(virtualKey);
        return scan == table->second.scanCodes.end() ? 0 : scan->second;
    }
    std::string KeyName(std::uint32_t scanCode, bool extended) override {
        std::string name;
        auto table = layouts.find(current_);
        if (table != layouts.end()) {
            auto found = table->second.names.find({scanCode, extended});
            // As on Windows, a key without a dedicated name keeps its plain one.
            if (found == table->second.names.end() && extended)
                found = table->second.names.find({scanCode, false});
            if (found != table->second.names.end())
                name = found->second;
        }
        namesRead.emplace_back(current_, name);
        return name;
    }
    LayoutHandle Current() override { return current_; }
    bool Activate(LayoutHandle layout) override {
        if (std::find(installed.begin(), installed.end(), layout) == installed.end())
            return false;
        activations.push_back(layout);
        current_ = layout;
        return true;
    }
    std::vector<LayoutHandle> Installed(std::size_t limit) override {
        return {installed.begin(),
                installed.begin() + static_cast<std::ptrdiff_t>(std::min(limit, installed.size()))};
    }
    LayoutHandle Load(const std::string& identifier) override {
        loadRequests.push_back(identifier);
        LayoutHandle handle = identifier == "00000409"   ? UsEnglish
                              : identifier == "00000407" ? German
                                                         : 0;
        if (handle != 0 && std::find(installed.begin(), installed.end(), handle) == installed.end())
            installed.push_back(handle);
        return handle;
    }
    bool Unload(LayoutHandle layout) override {
        unloads.push_back(layout);
        auto it = std::find(installed.begin(), installed.end(), layout);
        if (it == installed.end())
            return false;
        installed.erase(it);
        return true;
    }
    bool EqualIgnoringCase(std::string_view a, std::string_view b) override {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(),
                          [&](char x, char y) { return lower(x) == lower(y); });
    }

    // The layout's names for a key, replaced or taken away (an empty name).
    void RenameKey(LayoutHandle layout, std::uint32_t vk, const std::string& name) {
        FakeLayoutTable& t = layouts.at(layout);
        t.names[{t.scanCodes.at(vk), false}] = name;
    }
    // A key the layout has no scan code for, so it has no name.
    void RemoveKey(LayoutHandle layout, std::uint32_t vk) {
        layouts.at(layout).scanCodes.erase(vk);
    }

  private:
    LayoutHandle current_;
};

} // namespace tervane
