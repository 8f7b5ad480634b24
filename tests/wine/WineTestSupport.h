#pragma once
// What the Windows tests share: pumping messages with a deadline, real mouse input, and
// a recorder that answers the program's message boxes instead of a person.
#include "HotKeyProbe.h"
#include "app/SettingsStore.h"
#include "base/MessageBox_win.h"
#include "base/WideText_win.h"
#include "hotkeys/HotKeyManager_win.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace tervane {

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

// Removes the program's stored settings, so that the next main window starts as at a
// first start.
inline void ForgetSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, Widen(kSettingsKeyPath).c_str());
}

// Runs a shell command line on the Linux side of the Wine session (on the same X display)
// and returns what it printed. Wine starts a Linux program without our pipes and without
// waiting, so the output goes through a file that appears whole when the command is done.
inline std::optional<std::string> RunOnLinux(const std::string& command, int timeoutMs = 10000) {
    static std::atomic<int> serial{0};
    const std::string out = "/tmp/tervane-wine-test-" + std::to_string(GetCurrentProcessId()) +
                            "-" + std::to_string(++serial);
    std::wstring line = Widen("Z:\\bin\\sh -c \"(" + command + ") > " + out + ".part 2>&1; mv " +
                              out + ".part " + out + "\"");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return std::nullopt;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::wstring path = Widen("Z:" + out);
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : c;
    if (!PumpUntil(
            nullptr, [&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; },
            timeoutMs))
        return std::nullopt;
    std::string text;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    char buffer[1024];
    DWORD read = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer, sizeof buffer, &read, nullptr) &&
           read > 0)
        text.append(buffer, read);
    CloseHandle(file);
    DeleteFileW(path.c_str());
    return text;
}

// The whole virtual display as a PNG in the folder TERVANE_SCREENSHOTS names (nothing when it
// names none); false when it could not be taken.
inline bool SaveScreenshot(const std::string& fileName) {
    const char* folder = std::getenv("TERVANE_SCREENSHOTS");
    if (!folder)
        return true;
    return RunOnLinux("mkdir -p " + std::string(folder) + " && import -window root " +
                      std::string(folder) + "/" + fileName)
        .has_value();
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

} // namespace tervane
