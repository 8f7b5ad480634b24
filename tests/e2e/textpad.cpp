// textpad.exe: a window of ours holding a text with all of it selected, for the scenarios
// and the run command's demonstration: what a person would have in front of them before
// pressing the hotkey. `textpad.exe <caption> <text>`; the text is shown as given (UTF-16
// on the command line), in an edit control that has the keyboard focus.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

HWND edit = nullptr;

LRESULT CALLBACK PadProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        MoveWindow(edit, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE)
            SetFocus(edit);
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
    const std::wstring caption = argc > 1 ? argv[1] : L"Text pad";
    const std::wstring text = argc > 2 ? argv[2] : L"";

    WNDCLASSW cls{};
    cls.lpfnWndProc = PadProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.lpszClassName = L"TervaneTextPad";
    RegisterClassW(&cls);
    HWND window =
        CreateWindowExW(0, cls.lpszClassName, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        100, 100, 520, 160, nullptr, nullptr, instance, nullptr);
    edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text.c_str(),
                           WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL, 0,
                           0, 500, 120, window, nullptr, instance, nullptr);
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SetForegroundWindow(window);
    SetFocus(edit);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
