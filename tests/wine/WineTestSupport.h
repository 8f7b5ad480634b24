#pragma once
// What the Windows tests share: pumping messages with a deadline, real mouse input, and
// a recorder that answers the program's message boxes instead of a person.
#include "base/MessageBox_win.h"
#include "base/WideText_win.h"
#include "hotkeys/HotKeyManager_win.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// The hotkey module, made at start as the program makes it; fixtures make and end it.
inline std::optional<HotKeyModule> hotKeyModule;

// Dispatches pending messages (through the dialog manager, as the program's loop does)
// until `done` holds or the deadline passes; returns whether `done` held.
template <class Pred> bool PumpUntil(HWND dialog, Pred done, int timeoutMs = 5000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            if (!dialog || !IsWindow(dialog) || !IsDialogMessageW(dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

inline void Pump(HWND dialog = nullptr) {
    PumpUntil(
        dialog, [] { return false; }, 100);
}

// A real left click at a point in `window`'s client coordinates, through the system's
// input queue, so that hit testing and capture happen as for a person's click.
inline void ClickAt(HWND window, POINT client) {
    ClientToScreen(window, &client);
    SetCursorPos(client.x, client.y);
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

// A real key press and release through the system's input queue.
inline void PressKey(WORD key) {
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

inline std::string WindowText(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return Narrow(buffer);
}

inline std::string ClassOf(HWND window) {
    wchar_t buffer[256] = {};
    GetClassNameW(window, buffer, 256);
    return Narrow(buffer);
}

// Rectangle of `window` in the client coordinates of its parent.
inline RECT RectInParent(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Installs itself as the message-box hook for its lifetime and records every box.
class MessageBoxRecorder {
  public:
    explicit MessageBoxRecorder(int answer = IDOK) {
        previous_ = SetMessageBoxHook([this, answer](const MessageBoxRequest& request) {
            boxes.push_back(request);
            return answer;
        });
    }
    ~MessageBoxRecorder() { SetMessageBoxHook(std::move(previous_)); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<MessageBoxRequest> boxes;

  private:
    MessageBoxHook previous_;
};
