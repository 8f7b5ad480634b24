#include "app/HotKeyPanel_win.h"

#include "base/MessageBox_win.h"
#include "hotkeys/HotKeyRules.h"

#include <commctrl.h>

namespace tervane {

void HotKeyPanel::Create(const PanelBuilder& build) {
    using enum ControlId;
    window_ = build.Window();
    hotKeyGroup_ = build.Group(HotKeyGroup, "Add a HotKey", {8, 8, 241, 55});
    entry_ = HotKeyBox(build.Make(
        hotKeyGroup_, HotKeyEntry,
        {HOTKEY_CLASSW, "", WS_TABSTOP | WS_GROUP, {12, 22, 141, 21}, WS_EX_CLIENTEDGE}));
    // A bare key and a key with Shift alone both stand for the bare key.
    SendMessageW(entry_.Handle(), HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(0, 0));
    build.Button(hotKeyGroup_, AddButton, "Add", {164, 21, 65, 23});

    hotKeysInUseGroup_ = build.Group(HotKeysInUseGroup, "HotKey in Use", {8, 72, 241, 161});
    list_ = ListBox(build.Make(hotKeysInUseGroup_, HotKeyList,
                               {WC_LISTBOXW,
                                "",
                                LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                                {12, 22, 141, 121},
                                WS_EX_CLIENTEDGE}));
    // 13-pixel lines; sized again so that its height is a whole number of them.
    SendMessageW(list_.Handle(), LB_SETITEMHEIGHT, 0, 13);
    SetWindowPos(list_.Handle(), nullptr, 0, 0, 141, 121, SWP_NOMOVE | SWP_NOZORDER);
    build.Button(hotKeysInUseGroup_, RemoveButton, "Remove", {164, 21, 65, 23});
    build.Button(hotKeysInUseGroup_, ClearButton, "Clear all", {164, 49, 65, 23});
}

bool HotKeyPanel::OnCommand(ControlId id, int notification) {
    const bool clicked = notification == BN_CLICKED;
    switch (id) {
    case ControlId::AddButton:
        if (clicked)
            OnAddHotKey();
        return true;
    case ControlId::RemoveButton:
        if (clicked)
            OnRemoveHotKey();
        return true;
    case ControlId::ClearButton:
        if (clicked)
            OnClearHotKeys();
        return true;
    default:
        return false;
    }
}

void HotKeyPanel::Show(bool show) const {
    for (HWND group : {hotKeyGroup_, hotKeysInUseGroup_})
        ShowWindow(group, show ? SW_SHOW : SW_HIDE);
}

// The entry box reports HOTKEYF_ flags in the high byte; a hotkey value keeps Shift, Ctrl
// and Alt at 0x2000, 0x4000 and 0x8000 instead. The box's extended-key flag is dropped.
std::uint32_t HotKeyPanel::EntryValue() const {
    const WORD combination = entry_.Combination();
    const BYTE flags = HIBYTE(combination);
    std::uint32_t value = LOBYTE(combination);
    if (value == 0)
        return 0;
    if (flags & HOTKEYF_SHIFT)
        value |= kHotKeyShift;
    if (flags & HOTKEYF_CONTROL)
        value |= kHotKeyCtrl;
    if (flags & HOTKEYF_ALT)
        value |= kHotKeyAlt;
    return value;
}

void HotKeyPanel::AddHotKeyToList(std::uint32_t hotKey) {
    const std::string text = codec_.ToText(hotKey, true);
    if (hotKeys_.AddHotKey(hotKey) == 0) {
        ShowWarningBox(window_, text + " couldn't be assigned to a hotkey.");
        return;
    }
    list_.AddLine(text, hotKey);
    entry_.Clear();
}

void HotKeyPanel::OnAddHotKey() {
    const std::uint32_t value = EntryValue();
    if (value == 0) {
        ShowWarningBox(window_, "No hotkey specified.");
        return;
    }
    // The box keeps the key, so that the user can add a modifier to it.
    if (TakesTypingKey(value)) {
        ShowWarningBox(window_, TypingKeyWarning(codec_.ToText(value, true)));
        return;
    }
    AddHotKeyToList(value);
}

void HotKeyPanel::OnRemoveHotKey() {
    const int line = list_.Selected();
    if (line < 0) {
        ShowPlainBox(window_, "Please select an item");
        return;
    }
    const std::uint32_t value = list_.DataAt(line);
    if (hotKeys_.RemoveHotKey(value)) {
        list_.DeleteLine(line);
    } else {
        ShowWarningBox(window_, codec_.ToText(value, true) + " couldn't be removed.");
    }
}

void HotKeyPanel::OnClearHotKeys() {
    hotKeys_.ClearHotKeys();
    entry_.Clear();
    list_.Clear();
}

} // namespace tervane
