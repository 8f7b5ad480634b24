#pragma once
// What a hotkey does when it is pressed: translate the selection into a balloon, or put the
// translation in place of the selection. Each line of the hotkey list has one; the settings
// store keeps it beside the hotkey's text.
#include <optional>
#include <string>
#include <string_view>

namespace tervane {

enum class HotKeyAction { Translate, Replace };

// The word the store keeps: "translate" or "replace".
const char* StoredActionText(HotKeyAction action);
// The action of a stored word. A list stored before hotkeys had actions has none, and a word
// this version does not know may come from a later one: both translate, as every hotkey did.
HotKeyAction ActionOfStoredText(const std::optional<std::string>& stored);

// The action as the panels name it ("Translate", "Replace").
const char* ActionName(HotKeyAction action);
// What the hotkey list shows for a line: the hotkey's text, followed by " (replace)" for a
// line that replaces; a line that translates reads as it always did.
std::string HotKeyLineLabel(std::string_view hotKeyText, HotKeyAction action);

} // namespace tervane
