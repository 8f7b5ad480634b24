#include "translate/Keystroke_win.h"

#include "base/SystemError_win.h"

#include <stdexcept>
#include <string>

namespace tervane {

namespace {

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

INPUT Key(WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    return input;
}

} // namespace

bool WaitAnsweringSentMessages(const std::function<bool()>& done, DWORD boundMs) {
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

bool WaitForModifiersLetGo(ULONGLONG since, DWORD boundMs) {
    const ULONGLONG now = GetTickCount64();
    const ULONGLONG by = since + boundMs;
    return WaitAnsweringSentMessages([] { return !ModifiersHeld(); },
                                     by > now ? static_cast<DWORD>(by - now) : 0);
}

void SendCtrlKeystroke(WORD key, bool extended, const char* what) {
    const DWORD keyFlags = extended ? KEYEVENTF_EXTENDEDKEY : 0;
    INPUT keys[] = {
        Key(VK_CONTROL, 0),
        Key(key, keyFlags),
        Key(key, keyFlags | KEYEVENTF_KEYUP),
        Key(VK_CONTROL, KEYEVENTF_KEYUP),
    };
    const UINT count = sizeof(keys) / sizeof(keys[0]);
    if (SendInput(count, keys, sizeof(INPUT)) != count)
        throw std::runtime_error(std::string("Cannot send the ") + what +
                                 " keystroke: " + SystemErrorText(GetLastError()));
}

} // namespace tervane
