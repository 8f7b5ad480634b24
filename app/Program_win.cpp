#include "app/Program_win.h"

#include "app/ApplicationWindow_win.h"
#include "app/MessageBox_win.h"
#include "hotkeys/HotKeyManager_win.h"

#include <commctrl.h>
#include <objbase.h>

int RunProgram(HINSTANCE instance, int showCommand,
               const std::function<void(TMainForm&)>& prepare) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_HOTKEY_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    HotKeyModuleStartWin();
    // The selection capture talks to browser objects through COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    int exitCode = 0;
    try {
        TApplicationWindow application;
        application.Create(instance);
        TMainForm form;
        form.Create(instance, application.Handle());
        application.SetMainWindow(form.Handle());
        if (prepare) prepare(form);
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
    HotKeyModuleEndWin();
    return exitCode;
}
