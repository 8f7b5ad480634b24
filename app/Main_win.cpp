// Program start: module start steps, COM for the user-interface thread, the main
// window, the message loop; then the module end steps.
#include "app/MainForm_win.h"
#include "app/MessageBox_win.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_HOTKEY_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    // The selection capture talks to browser objects through COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    int exitCode = 0;
    try {
        TMainForm form;
        form.Create(instance);
        form.Show(showCommand);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (!IsDialogMessageW(form.Handle(), &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        exitCode = static_cast<int>(msg.wParam);
    } catch (const std::exception& e) {
        // Only the start itself can get here: every handler reports its own errors.
        ShowErrorReport(nullptr, e.what());
        exitCode = 1;
    }

    if (SUCCEEDED(com)) CoUninitialize();
    return exitCode;
}
