#include "app/HotKeyPanel_win.h"

#include "base/Dpi.h"
#include "base/MessageBox_win.h"
#include "base/WideText_win.h"

#include <commctrl.h>

#include <algorithm>

namespace tervane {

bool SameIgnoringCaseInUserLocale(std::string_view a, std::string_view b) {
    const std::wstring wideA = Widen(a), wideB = Widen(b);
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wideA.c_str(),
                          static_cast<int>(wideA.size()), wideB.c_str(),
                          static_cast<int>(wideB.size())) == CSTR_EQUAL;
}

HotKeyPanel::HotKeyPanel(const HotKeyCodec& codec, HotKeyManager& hotKeys)
    : hotKeys_(hotKeys), controller_(codec, *this, *this, SameIgnoringCaseInUserLocale) {
    controller_.onChanged = [this] { ShowController(); };
}

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
    list_ =
        ListBox(build.Make(hotKeysInUseGroup_, HotKeyList,
                           {WC_LISTBOXW,
                            "",
                            LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                            {12, 22, 141, 121},
                            WS_EX_CLIENTEDGE}));
    ScaleTo(build.Dpi());
    build.Button(hotKeysInUseGroup_, RemoveButton, "Remove", {164, 21, 65, 23});
    build.Button(hotKeysInUseGroup_, ClearButton, "Clear all", {164, 49, 65, 23});
    // What the selected line's hotkey does, level with the list's last line; greyed while
    // no line is selected.
    build.Make(hotKeysInUseGroup_, HotKeyActionLabel,
               {WC_STATICW, "Action:", SS_LEFT | SS_NOPREFIX, {159, 105, 70, 13}});
    action_ = Picker(build.Make(
        hotKeysInUseGroup_, HotKeyActionPicker,
        {WC_COMBOBOXW, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, {159, 121, 70, 80}}));
    for (const HotKeyAction action : {HotKeyAction::Translate, HotKeyAction::Replace})
        action_.AddText(ActionName(action));
}

// 13-pixel lines at 96 DPI: nine whole lines in the list's designed height. At other DPIs the
// lines' rounding need not divide the scaled height, and the list keeps that height.
void HotKeyPanel::ScaleTo(int dpi) const {
    SendMessageW(list_.Handle(), LB_SETITEMHEIGHT, 0, ScaleToDpi(13, dpi));
}

bool HotKeyPanel::OnCommand(ControlId id, int notification) {
    const bool clicked = notification == BN_CLICKED;
    switch (id) {
    case ControlId::AddButton:
        if (clicked) {
            controller_.SetEntry(EntryValue());
            controller_.OnAdd();
        }
        return true;
    case ControlId::RemoveButton:
        if (clicked)
            controller_.OnRemove(list_.Selected());
        return true;
    case ControlId::ClearButton:
        if (clicked)
            controller_.OnClear();
        return true;
    case ControlId::HotKeyList:
        if (notification == LBN_SELCHANGE)
            ShowSelectedAction();
        return true;
    case ControlId::HotKeyActionPicker:
        if (notification == CBN_SELCHANGE)
            controller_.OnSetAction(list_.Selected(),
                                    static_cast<HotKeyAction>(action_.Position()));
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

// No line selected: no action shown.
void HotKeyPanel::ShowSelectedAction() const {
    const int selected = list_.Selected();
    const std::vector<HotKeyLine>& lines = controller_.Lines();
    const bool any = selected >= 0 && static_cast<std::size_t>(selected) < lines.size();
    action_.Select(any ? static_cast<int>(lines[static_cast<std::size_t>(selected)].action) : -1);
    EnableWindow(action_.Handle(), any);
}

void HotKeyPanel::ShowWarning(const std::string& text) {
    ShowWarningBox(window_, text);
}

void HotKeyPanel::ShowPlain(const std::string& text) {
    ShowPlainBox(window_, text);
}

// The list shows the controller's lines again; a selection stays where no line went (lines
// added, or an action changed). The entry box keeps what the user pressed until the
// controller empties it.
void HotKeyPanel::ShowController() {
    const std::vector<HotKeyLine>& lines = controller_.Lines();
    const std::vector<std::string> shown = list_.Lines();
    if (shown.size() != lines.size() ||
        !std::equal(shown.begin(), shown.end(), lines.begin(),
                    [](const std::string& a, const HotKeyLine& b) { return a == b.Label(); })) {
        const int selected = list_.Selected();
        const bool kept = lines.size() >= shown.size();
        list_.Clear();
        for (const HotKeyLine& line : lines)
            list_.AddLine(line.Label(), line.hotKey);
        if (kept && selected >= 0)
            SendMessageW(list_.Handle(), LB_SETCURSEL, selected, 0);
    }
    ShowSelectedAction();
    if (controller_.Entry() == 0 && entry_.Combination() != 0)
        entry_.Clear();
    if (onChanged)
        onChanged();
}

} // namespace tervane
