#include "app/Program_win.h"

#include "app/ApplicationWindow_win.h"
#include "app/SingleInstance_win.h"
#include "base/Dpi_win.h"
#include "base/ErrorGuard_win.h"

#include <commctrl.h>
#include <objbase.h>

#include <optional>

namespace tervane {

int RunProgram(HINSTANCE instance, int showCommand,
               const std::function<void(MainWindow&)>& prepare) {
    const SingleInstance copy;
    if (!copy.IsFirst()) {
        ShowRunningCopy();
        return 0;
    }
    // Before the first window: every window of the program is drawn at its monitor's DPI.
    BecomeDpiAware();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_HOTKEY_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);

    int exitCode = 1;
    // Only the start itself can fail here (every handler reports its own errors); the
    // error report says why and the program ends.
    RunGuarded(nullptr, [&] {
        const HotKeyModule hotKeys;
        // The selection capture talks to browser objects through COM on this thread.
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        struct ComScope {
            HRESULT result;
            ~ComScope() {
                if (SUCCEEDED(result))
                    CoUninitialize();
            }
        } comScope{com};

        ApplicationWindow application;
        application.Create(instance);
        MainWindow window(hotKeys.Codec());
        window.Create(instance, application.Handle());
        application.SetMainWindow(window.Handle());
        if (prepare)
            prepare(window);
        window.Show(showCommand);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (!IsDialogMessageW(window.Handle(), &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        exitCode = static_cast<int>(msg.wParam);
    });
    return exitCode;
}

} // namespace tervane
