#include "app/HotKeyListController.h"

#include "hotkeys/HotKeyRules.h"

#include <algorithm>

namespace tervane {

std::uint32_t StoredHotKeyToAdd(const HotKeyCodec& codec, const std::vector<std::string>& lines,
                                std::string_view text, const SameIgnoringCase& same) {
    if (text.empty() || std::any_of(lines.begin(), lines.end(),
                                    [&](const std::string& line) { return same(line, text); }))
        return 0;
    const std::uint32_t hotKey = codec.FromText(text, true);
    return hotKey != 0 && !TakesTypingKey(hotKey) ? hotKey : 0;
}

std::vector<std::string> HotKeyListController::LineTexts() const {
    std::vector<std::string> texts;
    for (const HotKeyLine& line : lines_)
        texts.push_back(line.text);
    return texts;
}

std::vector<HotKeySetting> HotKeyListController::LineSettings() const {
    std::vector<HotKeySetting> settings;
    for (const HotKeyLine& line : lines_)
        settings.push_back({line.text, line.action});
    return settings;
}

HotKeyAction HotKeyListController::ActionOf(std::uint32_t hotKey) const {
    const auto line = std::find_if(lines_.begin(), lines_.end(),
                                   [hotKey](const HotKeyLine& l) { return l.hotKey == hotKey; });
    return line != lines_.end() ? line->action : HotKeyAction::Translate;
}

std::string HotKeyListController::EntryText() const {
    return entry_ ? codec_.ToText(entry_, true) : std::string();
}

void HotKeyListController::Changed() const {
    if (onChanged)
        onChanged();
}

void HotKeyListController::SetEntry(std::uint32_t hotKey) {
    entry_ = hotKey;
    Changed();
}

// No check against the lines: a listed hotkey is this program's registration already, so
// the system refuses it a second time.
bool HotKeyListController::AddHotKeyToList(std::uint32_t hotKey, HotKeyAction action) {
    const std::string text = codec_.ToText(hotKey, true);
    if (!registrar_.Add(hotKey)) {
        messages_.ShowWarning(text + " couldn't be assigned to a hotkey.");
        return false;
    }
    lines_.push_back({text, hotKey, action});
    entry_ = 0;
    Changed();
    return true;
}

void HotKeyListController::OnAdd() {
    if (entry_ == 0) {
        messages_.ShowWarning(kNoHotKeyText);
        return;
    }
    if (TakesTypingKey(entry_)) {
        messages_.ShowWarning(TypingKeyWarning(codec_.ToText(entry_, true)));
        return;
    }
    AddHotKeyToList(entry_);
}

// A release the system refuses keeps the line; a later Remove of it says the same again,
// and Clear all takes it away.
void HotKeyListController::OnRemove(int selectedLine) {
    if (selectedLine < 0 || static_cast<std::size_t>(selectedLine) >= lines_.size()) {
        messages_.ShowPlain(kSelectLineText);
        return;
    }
    const auto line = lines_.begin() + selectedLine;
    if (!registrar_.Remove(line->hotKey)) {
        messages_.ShowWarning(line->text + " couldn't be removed.");
        return;
    }
    lines_.erase(line);
    Changed();
}

void HotKeyListController::OnSetAction(int selectedLine, HotKeyAction action) {
    if (selectedLine < 0 || static_cast<std::size_t>(selectedLine) >= lines_.size()) {
        messages_.ShowPlain(kSelectLineText);
        return;
    }
    if (action == HotKeyAction::Replace && !replaceUnavailable_.empty()) {
        messages_.ShowWarning(replaceUnavailable_);
        Changed(); // the view shows the line's action again
        return;
    }
    lines_[static_cast<std::size_t>(selectedLine)].action = action;
    Changed();
}

void HotKeyListController::OnClear() {
    registrar_.Clear();
    lines_.clear();
    entry_ = 0;
    Changed();
}

void HotKeyListController::AddDefaultHotKey() {
    if (const std::uint32_t hotKey = codec_.FromText(kDefaultHotKeyText, true)) {
        AddHotKeyToList(hotKey);
    } else {
        messages_.ShowWarning(kDefaultHotKeyErrorText);
    }
}

void HotKeyListController::AddStoredHotKey(std::string_view text, HotKeyAction action) {
    if (const std::uint32_t hotKey = StoredHotKeyToAdd(codec_, LineTexts(), text, same_))
        AddHotKeyToList(hotKey, action);
}

} // namespace tervane
