#include "translate/SelectionCaptureKeystroke_win.h"

#include "translate/Clipboard_win.h"
#include "translate/Keystroke_win.h"

#include <stdexcept>

namespace tervane {

namespace {

constexpr DWORD kKeysReleaseBoundMs = 1000;
constexpr DWORD kCopyBoundMs = 500;

} // namespace

std::string CopyByKeystroke(HWND opener, ULONGLONG pressedAt) {
    if (!WaitForModifiersLetGo(pressedAt, kKeysReleaseBoundMs)) {
        OutputDebugStringW(L"Tervane capture: keystroke not sent, the hotkey's keys are held\n");
        return {};
    }
    const DWORD before = GetClipboardSequenceNumber();
    SendCtrlKeystroke(VK_INSERT, true, "copy");

    // The application empties the clipboard and then sets its text: the number moves before
    // the text is there, and the clipboard may still be held open, so the text is polled for.
    bool changed = false, opened = false;
    std::string text;
    WaitAnsweringSentMessages(
        [&] {
            if (GetClipboardSequenceNumber() == before)
                return false;
            changed = true;
            if (!ClipboardSession::TryOpen(opener))
                return false;
            opened = true;
            text = ClipboardTextOfOpenClipboard();
            CloseClipboard();
            return !text.empty();
        },
        kCopyBoundMs);
    if (changed && !opened)
        throw std::runtime_error("Cannot open clipboard");
    return text;
}

} // namespace tervane
