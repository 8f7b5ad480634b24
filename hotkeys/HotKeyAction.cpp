#include "hotkeys/HotKeyAction.h"

namespace tervane {

namespace {
constexpr const char* kStoredReplace = "replace";
}

const char* StoredActionText(HotKeyAction action) {
    return action == HotKeyAction::Replace ? kStoredReplace : "translate";
}

HotKeyAction ActionOfStoredText(const std::optional<std::string>& stored) {
    return stored && *stored == kStoredReplace ? HotKeyAction::Replace : HotKeyAction::Translate;
}

const char* ActionName(HotKeyAction action) {
    return action == HotKeyAction::Replace ? "Replace" : "Translate";
}

std::string HotKeyLineLabel(std::string_view hotKeyText, HotKeyAction action) {
    std::string label(hotKeyText);
    if (action == HotKeyAction::Replace)
        label += " (replace)";
    return label;
}

} // namespace tervane
