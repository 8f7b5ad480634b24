// The hotkey panel of the main window: the entry box, the list of hotkeys in use and
// its buttons. Every line of ListBox1 carries its hotkey value as the line's data.
#include "app/MainForm_win.h"
#include "app/MessageBox_win.h"
#include "app/WideText_win.h"
#include "hotkeys/HotKeyCodec.h"

namespace {
// The entry box reports the key in the low byte and HOTKEYF_ flags in the high byte;
// a hotkey value keeps Shift, Ctrl and Alt at 0x2000, 0x4000 and 0x8000 instead. The
// box's extended-key flag is dropped.
std::uint32_t EntryBoxValue(HWND box) {
    const auto combination = static_cast<WORD>(SendMessageW(box, HKM_GETHOTKEY, 0, 0));
    const BYTE flags = HIBYTE(combination);
    std::uint32_t value = LOBYTE(combination);
    if (value == 0) return 0;
    if (flags & HOTKEYF_SHIFT) value |= HotKeyShift;
    if (flags & HOTKEYF_CONTROL) value |= HotKeyCtrl;
    if (flags & HOTKEYF_ALT) value |= HotKeyAlt;
    return value;
}
} // namespace

void TMainForm::AddHotKeyToList(std::uint32_t HotKey) {
    const std::string text = HotKeyToText(HotKey, true);
    if (HotKeyManager1->AddHotKey(HotKey) == 0) {
        ShowWarningBox(hwnd_, text + " couldn't be assigned to a hotkey.");
        return;
    }
    const auto line = SendMessageW(ListBox1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
    SendMessageW(ListBox1, LB_SETITEMDATA, static_cast<WPARAM>(line), static_cast<LPARAM>(HotKey));
    SendMessageW(HotKey1, HKM_SETHOTKEY, 0, 0);
}

void TMainForm::BtnAddClick() {
    const std::uint32_t value = EntryBoxValue(HotKey1);
    if (value == 0) {
        ShowWarningBox(hwnd_, "No hotkey specified.");
        return;
    }
    AddHotKeyToList(value);
}

void TMainForm::BtnRemoveClick() {
    const auto line = SendMessageW(ListBox1, LB_GETCURSEL, 0, 0);
    if (line == LB_ERR) {
        ShowPlainBox(hwnd_, "Please select an item");
        return;
    }
    const auto value = static_cast<std::uint32_t>(SendMessageW(ListBox1, LB_GETITEMDATA, static_cast<WPARAM>(line), 0));
    if (HotKeyManager1->RemoveHotKey(value)) {
        SendMessageW(ListBox1, LB_DELETESTRING, static_cast<WPARAM>(line), 0);
    } else {
        ShowWarningBox(hwnd_, HotKeyToText(value, true) + " couldn't be removed.");
    }
}

void TMainForm::BtnClearClick() {
    HotKeyManager1->ClearHotKeys();
    SendMessageW(HotKey1, HKM_SETHOTKEY, 0, 0);
    SendMessageW(ListBox1, LB_RESETCONTENT, 0, 0);
}
