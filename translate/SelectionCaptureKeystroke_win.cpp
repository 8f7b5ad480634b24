#include "translate/SelectionCaptureKeystroke_win.h"

#include "base/SystemError_win.h"
#include "translate/Clipboard_win.h"

#include <stdexcept>

namespace tervane {

namespace {

constexpr DWORD kKeysReleaseBoundMs = 1000;
constexpr DWORD kCopyBoundMs = 500;
constexpr DWORD kPollMs = 10;

bool IsHeld(int key) {
    return (GetAsyncKeyState(key) & 0x8000) != 0;
}

bool ModifiersHeld() {
    for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN}) {
        if (IsHeld(key))
            return true;
    }
    return false;
}

// Polls `done` every few milliseconds for at most `boundMs`; whether it held. Messages sent
// to this thread's windows are answered meanwhile, posted ones (a next hotkey press) stay
// queued: the application's copy empties the clipboard, which sends WM_DESTROYCLIPBOARD to
// its owner, the program's window that emptied it before, and waits for the answer.
template <class Pred> bool WaitUntil(Pred done, DWORD boundMs) {
    const ULONGLONG deadline = GetTickCount64() + boundMs;
    for (;;) {
        if (done())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_SENDMESSAGE);
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

INPUT Key(WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    return input;
}

void SendCopyKeystroke() {
    INPUT keys[] = {
        Key(VK_CONTROL, 0),
        Key(VK_INSERT, KEYEVENTF_EXTENDEDKEY),
        Key(VK_INSERT, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP),
        Key(VK_CONTROL, KEYEVENTF_KEYUP),
    };
    const UINT count = sizeof(keys) / sizeof(keys[0]);
    if (SendInput(count, keys, sizeof(INPUT)) != count)
        throw std::runtime_error("Cannot send the copy keystroke: " +
                                 SystemErrorText(GetLastError()));
}

} // namespace

std::string CopyByKeystroke(HWND opener, ULONGLONG pressedAt) {
    const ULONGLONG now = GetTickCount64();
    const ULONGLONG releaseBy = pressedAt + kKeysReleaseBoundMs;
    if (!WaitUntil([] { return !ModifiersHeld(); },
                   releaseBy > now ? static_cast<DWORD>(releaseBy - now) : 0)) {
        OutputDebugStringW(L"Tervane capture: keystroke not sent, the hotkey's keys are held\n");
        return {};
    }
    const DWORD before = GetClipboardSequenceNumber();
    SendCopyKeystroke();

    // The application empties the clipboard and then sets its text: the number moves before
    // the text is there, and the clipboard may still be held open, so the text is polled for.
    bool changed = false, opened = false;
    std::string text;
    WaitUntil(
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
