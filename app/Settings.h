#pragma once
// What the user chose, as one plain value: the two languages, the transparency, the three
// options and the hotkeys. A front end shows it in its controls and the settings store
// keeps it between runs; the translation flow reads its languages and options from it.
#include "app/Transparency.h"
#include "hotkeys/HotKeyAction.h"
#include "protocol/Languages.h"

#include <string>
#include <vector>

namespace tervane {

// Registered at every start, before the stored hotkeys.
inline constexpr const char* kDefaultHotKeyText = "Ctrl+Shift+F12";

// One line of the hotkey list as the store keeps it: the codec's text and what the hotkey does.
struct HotKeySetting {
    std::string text; // "Ctrl+Shift+F12"
    HotKeyAction action = HotKeyAction::Translate;
    friend bool operator==(const HotKeySetting&, const HotKeySetting&) = default;
};

// The options, in the order the "cc" text stores them.
enum class Option { Freeze, CopyToClipboard, LogToFile };

struct Settings {
    // Rows of the language table; -1 when a picker has none.
    int sourcePosition = tervane::protocol::kInitialSourcePosition;
    int targetPosition = tervane::protocol::kInitialTargetPosition;
    int sliderPosition = kSliderMax; // opaque
    bool freeze = true;
    bool copyToClipboard = false;
    bool logToFile = false;
    // The hotkey list's lines, in order.
    std::vector<HotKeySetting> hotKeys;

    bool IsOn(Option option) const;
    void Set(Option option, bool on);

    friend bool operator==(const Settings&, const Settings&) = default;
};

// The language table's display name and code of a picker position; empty outside the table.
std::string LanguageNameAt(int position);
std::string LanguageCodeOrEmpty(int position);

} // namespace tervane
