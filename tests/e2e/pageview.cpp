// pageview.exe: a window of ours that, like a web browser's page view, ignores the copy
// command (WM_COPY) and copies its selection only on Ctrl+Insert, for the capture scenarios.
// `pageview.exe <caption> <selection>`; an empty selection is nothing selected, and then the
// keystroke copies nothing, as in a browser. A line at the top counts what it was asked:
// "copy messages N, copies N, other commands N" (Insert with Shift or Alt held, which an
// application takes as paste or a menu's key).
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>

namespace {

std::wstring selection;
int copyMessages = 0, copies = 0, otherCommands = 0;
HWND counters = nullptr;

void ShowCounters() {
    const std::wstring line = L"copy messages " + std::to_wstring(copyMessages) + L", copies " +
                              std::to_wstring(copies) + L", other commands " +
                              std::to_wstring(otherCommands);
    SetWindowTextW(counters, line.c_str());
}

void CopySelection(HWND window) {
    if (selection.empty() || !OpenClipboard(window))
        return;
    EmptyClipboard();
    const size_t bytes = (selection.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), selection.c_str(), bytes);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_UNICODETEXT, memory))
        GlobalFree(memory);
    CloseClipboard();
    ++copies;
}

LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COPY:
        ++copyMessages;
        ShowCounters();
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (wp != VK_INSERT)
            break;
        if (GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0)
            CopySelection(hwnd);
        else
            ++otherCommands;
        ShowCounters();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE)
            SetFocus(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring caption = argc > 1 ? argv[1] : L"Page view";
    selection = argc > 2 ? argv[2] : L"";

    WNDCLASSW cls{};
    cls.lpfnWndProc = PageProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    cls.lpszClassName = L"TervanePageView";
    RegisterClassW(&cls);
    HWND window =
        CreateWindowExW(0, cls.lpszClassName, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        100, 100, 520, 160, nullptr, nullptr, instance, nullptr);
    counters = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 8, 8, 480, 20, window,
                               nullptr, instance, nullptr);
    CreateWindowExW(0, L"STATIC", selection.c_str(), WS_CHILD | WS_VISIBLE, 8, 40, 480, 20, window,
                    nullptr, instance, nullptr);
    ShowCounters();
    SetForegroundWindow(window);
    SetFocus(window);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
