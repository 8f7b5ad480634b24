#include "app/ApplicationWindow_win.h"

#include "app/res/resource.h"
#include "base/AppIdentity.h"
#include "base/WideText_win.h"

#include <stdexcept>

namespace tervane {

namespace {
constexpr wchar_t kApplicationClass[] = L"TervaneApplication";
}

ApplicationWindow::~ApplicationWindow() {
    if (hwnd_)
        DestroyWindow(hwnd_);
}

void ApplicationWindow::Create(HINSTANCE instance) {
    RegisterClassOnce(instance, {kApplicationClass, nullptr, IDI_TERVANE});
    // Visible (a taskbar button needs that) but with no size, at the screen's corner. The
    // minimise box lets the system minimise it (a click on the active window's taskbar
    // button, Win+M, Win+D), which hides the program to the notification area.
    CreateWindowExW(0, kApplicationClass, Widen(kApplicationTitle).c_str(),
                    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE |
                        WS_CLIPSIBLINGS,
                    0, 0, 0, 0, nullptr, nullptr, instance, this);
    if (!hwnd_)
        throw std::runtime_error("Cannot create the application window");
}

LRESULT ApplicationWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE && main_ && IsWindowVisible(main_) &&
            IsWindowEnabled(main_)) {
            SetActiveWindow(main_);
            return 0;
        }
        break;
    case WM_CLOSE:
        // Closing from the taskbar closes the program the one way: through the main window.
        if (main_)
            PostMessageW(main_, WM_CLOSE, 0, 0);
        return 0;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

} // namespace tervane
