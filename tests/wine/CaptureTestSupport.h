#pragma once
// What the capture tests share: "other applications" (a thread of the test with its own
// window in the foreground, since a thread cannot attach its input to itself), among them a
// page view that copies only on the copy keystroke and a window that hangs; Wine's own
// programs, started in the prefix; and the user's clipboard contents, put there and read
// back.
#include "WineTestSupport.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tervane {

using Bytes = std::vector<unsigned char>;

// Popups rather than framed windows: Wine waits up to two seconds for a framed window to
// be withdrawn when there is no window manager.
constexpr DWORD kPopup = WS_POPUP | WS_BORDER | WS_VISIBLE;

// A thread whose window (made by `make` on that thread) is focused and in the foreground.
// It handles messages until destroyed; a hanging one stops handling them once it is in
// front, for a minute or until destroyed, and then ends without handling what was sent to it.
class ForeignWindow {
  public:
    explicit ForeignWindow(std::function<HWND()> make, bool hangs = false) {
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        wake_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, make, hangs, ready] {
            threadId_ = GetCurrentThreadId();
            window_ = make();
            SetForegroundWindow(window_);
            SetFocus(window_);
            SetEvent(ready);
            if (hangs) {
                WaitForSingleObject(wake_, 60000);
            } else {
                MSG msg;
                while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            }
            DestroyWindow(window_);
        });
        WaitForSingleObject(ready, INFINITE);
        CloseHandle(ready);
        PumpUntil(nullptr, [&] { return GetForegroundWindow() == window_; });
    }
    ~ForeignWindow() {
        SetEvent(wake_);
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
        CloseHandle(wake_);
    }
    ForeignWindow(const ForeignWindow&) = delete;
    ForeignWindow& operator=(const ForeignWindow&) = delete;
    HWND Handle() const { return window_; }
    DWORD ThreadId() const { return threadId_; }

  private:
    std::thread thread_;
    HANDLE wake_ = nullptr;
    HWND window_ = nullptr;
    DWORD threadId_ = 0;
};

// A top-level EDIT window holding `text` with the UTF-16 units from `start` to `end` selected.
inline HWND MakeEdit(const std::string& text, int start, int end) {
    HWND edit = CreateWindowExW(0, L"EDIT", Widen(text).c_str(), kPopup, 100, 100, 400, 30, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(edit, EM_SETSEL, start, end);
    return edit;
}

struct ForeignEdit : ForeignWindow {
    ForeignEdit(const std::string& text, int start, int end)
        : ForeignWindow([=] { return MakeEdit(text, start, end); }) {}
};

// What a page view was asked and what it did.
struct PageViewLog {
    std::atomic<int> copyMessages{0};  // WM_COPY, which it ignores
    std::atomic<int> copies{0};        // Ctrl+Insert: its selection copied
    std::atomic<int> otherCommands{0}; // Insert with Shift or Alt held: paste, or a menu's key
    std::atomic<int> pastes{0};        // Ctrl+V: the clipboard's text put in place of its selection
    std::wstring pasted;               // written before `pastes` counts it
    std::atomic<bool> takesPastes{true}; // false: Ctrl+V does nothing, as on a page's text
};

// A window that, like a web browser's page view, ignores WM_COPY and copies its selection
// only on Ctrl+Insert, and pastes only on Ctrl+V. `selection` empty: nothing is selected,
// and the keystroke copies nothing, as a browser does.
class PageView : public ForeignWindow {
  public:
    PageView(std::wstring selection, PageViewLog& log)
        : ForeignWindow([selection, &log] { return Make(selection, log); }) {}

  private:
    struct State {
        std::wstring selection;
        PageViewLog& log;
    };
    static constexpr const wchar_t* kClass = L"TervaneTestPageView";

    // The window owns its state and frees it when destroyed (the base class makes the window
    // before this class's members would exist).
    static HWND Make(const std::wstring& selection, PageViewLog& log) {
        WNDCLASSW cls{};
        cls.lpfnWndProc = Proc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = kClass;
        RegisterClassW(&cls); // once per process; later calls fail harmlessly
        return CreateWindowExW(0, kClass, L"Page", kPopup, 100, 100, 400, 60, nullptr, nullptr,
                               GetModuleHandleW(nullptr), new State{selection, log});
    }

    static void Copy(HWND window, const std::wstring& text) {
        if (!OpenClipboard(window))
            return;
        EmptyClipboard();
        const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(GlobalLock(memory), text.c_str(), bytes);
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
        CloseClipboard();
    }

    static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE)
            SetWindowLongPtrW(
                window, GWLP_USERDATA,
                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
        auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (msg == WM_NCDESTROY) {
            delete state;
            return DefWindowProcW(window, msg, wp, lp);
        }
        if (msg == WM_COPY && state)
            ++state->log.copyMessages;
        if (msg == WM_KEYDOWN && wp == 'V' && state && GetKeyState(VK_CONTROL) < 0 &&
            state->log.takesPastes) {
            if (OpenClipboard(window)) {
                if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
                    state->log.pasted = static_cast<const wchar_t*>(GlobalLock(data));
                    GlobalUnlock(data);
                    state->selection = state->log.pasted;
                }
                CloseClipboard();
            }
            ++state->log.pastes;
            return 0;
        }
        if ((msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) && wp == VK_INSERT && state) {
            const bool shift = GetKeyState(VK_SHIFT) < 0, alt = GetKeyState(VK_MENU) < 0;
            if (GetKeyState(VK_CONTROL) < 0 && !shift && !alt) {
                if (!state->selection.empty()) {
                    Copy(window, state->selection);
                    ++state->log.copies;
                }
            } else {
                ++state->log.otherCommands;
            }
            return 0;
        }
        return DefWindowProcW(window, msg, wp, lp);
    }
};

// A program of the Wine prefix, started with no file and ended when destroyed.
class WineProgram {
  public:
    WineProgram(std::wstring commandLine, const wchar_t* windowClass) {
        wchar_t expanded[MAX_PATH] = {};
        ExpandEnvironmentStringsW(commandLine.c_str(), expanded, MAX_PATH);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        started_ = CreateProcessW(nullptr, expanded, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &startup, &process_) != FALSE;
        if (started_)
            PumpUntil(
                nullptr,
                [&] {
                    window_ = FindWindowW(windowClass, nullptr);
                    return window_ && IsWindowVisible(window_);
                },
                30000);
    }
    ~WineProgram() {
        if (!started_)
            return;
        TerminateProcess(process_.hProcess, 0);
        WaitForSingleObject(process_.hProcess, 10000);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    WineProgram(const WineProgram&) = delete;
    WineProgram& operator=(const WineProgram&) = delete;
    HWND Window() const { return window_; }

    // Puts the program in front with `control` focused, and waits until its own thread says
    // so: the foreground moves before the program's thread has settled its focus, and a hotkey
    // pressed in between finds nothing focused.
    bool FocusInFront(HWND control) const {
        SetForegroundWindow(window_);
        // Another thread's control is focused only with its input attached to this one's.
        const DWORD thread = GetWindowThreadProcessId(window_, nullptr);
        if (AttachThreadInput(GetCurrentThreadId(), thread, TRUE)) {
            SetFocus(control);
            AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
        }
        return PumpUntil(nullptr, [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof(info);
            return GetForegroundWindow() == window_ && GetGUIThreadInfo(thread, &info) &&
                   info.hwndFocus == control;
        });
    }

    // The first child window whose class starts with `prefix` (any case).
    HWND Child(const std::wstring& prefix) const {
        ChildSearch search{prefix, nullptr};
        EnumChildWindows(window_, MatchChild, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

  private:
    struct ChildSearch {
        std::wstring prefix;
        HWND found;
    };
    static BOOL CALLBACK MatchChild(HWND child, LPARAM data) {
        auto* search = reinterpret_cast<ChildSearch*>(data);
        wchar_t cls[64] = {};
        GetClassNameW(child, cls, 64);
        if (_wcsnicmp(cls, search->prefix.c_str(), search->prefix.size()) != 0)
            return TRUE;
        search->found = child;
        return FALSE;
    }

    PROCESS_INFORMATION process_{};
    bool started_ = false;
    HWND window_ = nullptr;
};

inline const UINT kCustomFormat = RegisterClipboardFormatW(L"Tervane test format");
inline const Bytes kCustomBytes{0x01, 0x00, 0xFF, 0x7F, 0x80, 0x02};

inline HGLOBAL Global(const void* data, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), data, size);
    GlobalUnlock(memory);
    return memory;
}

// What a user had copied: a text and data in a format of some other program's own.
inline bool PutUserContents(const std::wstring& text) {
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, Global(text.c_str(), (text.size() + 1) * sizeof(wchar_t)));
    SetClipboardData(kCustomFormat, Global(kCustomBytes.data(), kCustomBytes.size()));
    CloseClipboard();
    return true;
}

inline Bytes FormatBytes(UINT format) {
    Bytes bytes;
    if (!OpenClipboard(nullptr))
        return bytes;
    if (HANDLE data = GetClipboardData(format)) {
        const auto* from = static_cast<const unsigned char*>(GlobalLock(data));
        bytes.assign(from, from + GlobalSize(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

inline int FormatCount() {
    if (!OpenClipboard(nullptr))
        return -1;
    const int count = CountClipboardFormats();
    CloseClipboard();
    return count;
}

// Holds a key down, as a person holding it, both on the X display (xdotool) and through the
// system's input: Wine takes the keyboard's state from the X server again whenever one of its
// windows gains the X focus, and would let go of a key that only SendInput holds. Let go when
// destroyed or by Release. Made once the system sees the key held, as it does a key held
// since before the hotkey's press.
class HeldKey {
  public:
    HeldKey(std::string xName, WORD key) : xName_(std::move(xName)), key_(key) {
        RunOnLinux("xdotool keydown " + xName_);
        Send(0);
        PumpUntil(nullptr, [key] { return (GetAsyncKeyState(key) & 0x8000) != 0; });
    }
    ~HeldKey() { Release(); }
    HeldKey(const HeldKey&) = delete;
    HeldKey& operator=(const HeldKey&) = delete;
    void Release() {
        if (!held_.exchange(false))
            return;
        RunOnLinux("xdotool keyup " + xName_);
        Send(KEYEVENTF_KEYUP);
    }

  private:
    void Send(DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key_;
        input.ki.dwFlags = flags;
        SendInput(1, &input, sizeof(INPUT));
    }
    std::string xName_;
    WORD key_;
    std::atomic<bool> held_{true};
};

} // namespace tervane
