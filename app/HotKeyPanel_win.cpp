// The hotkey panel of the main window: the entry box, the list of hotkeys in use and
// its buttons. Every line of the hotkey list carries its hotkey value as the line's data.
#include "app/MainWindow_win.h"
#include "base/MessageBox_win.h"
#include "base/WideText_win.h"
#include "hotkeys/HotKeyRules.h"

namespace tervane {

namespace {
// The entry box reports the key in the low byte and HOTKEYF_ flags in the high byte;
// a hotkey value keeps Shift, Ctrl and Alt at 0x2000, 0x4000 and 0x8000 instead. The
// box's extended-key flag is dropped.
std::uint32_t EntryBoxValue(HWND box) {
    const auto combination = static_cast<WORD>(SendMessageW(box, HKM_GETHOTKEY, 0, 0));
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
} // namespace

void MainWindow::AddHotKeyToList(std::uint32_t hotKey) {
    const std::string text = codec_.ToText(hotKey, true);
    if (hotKeys_->AddHotKey(hotKey) == 0) {
        ShowWarningBox(hwnd_, text + " couldn't be assigned to a hotkey.");
        return;
    }
    const auto line =
        SendMessageW(hotKeyList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
    SendMessageW(hotKeyList_, LB_SETITEMDATA, static_cast<WPARAM>(line),
                 static_cast<LPARAM>(hotKey));
    SendMessageW(hotKeyEntry_, HKM_SETHOTKEY, 0, 0);
}

void MainWindow::OnAddHotKey() {
    const std::uint32_t value = EntryBoxValue(hotKeyEntry_);
    if (value == 0) {
        ShowWarningBox(hwnd_, "No hotkey specified.");
        return;
    }
    // The box keeps the key, so that the user can add a modifier to it.
    if (TakesTypingKey(value)) {
        ShowWarningBox(hwnd_, TypingKeyWarning(codec_.ToText(value, true)));
        return;
    }
    AddHotKeyToList(value);
}

void MainWindow::OnRemoveHotKey() {
    const auto line = SendMessageW(hotKeyList_, LB_GETCURSEL, 0, 0);
    if (line == LB_ERR) {
        ShowPlainBox(hwnd_, "Please select an item");
        return;
    }
    const auto value = static_cast<std::uint32_t>(
        SendMessageW(hotKeyList_, LB_GETITEMDATA, static_cast<WPARAM>(line), 0));
    if (hotKeys_->RemoveHotKey(value)) {
        SendMessageW(hotKeyList_, LB_DELETESTRING, static_cast<WPARAM>(line), 0);
    } else {
        ShowWarningBox(hwnd_, codec_.ToText(value, true) + " couldn't be removed.");
    }
}

void MainWindow::OnClearHotKeys() {
    hotKeys_->ClearHotKeys();
    SendMessageW(hotKeyEntry_, HKM_SETHOTKEY, 0, 0);
    SendMessageW(hotKeyList_, LB_RESETCONTENT, 0, 0);
}

} // namespace tervane
