#pragma once
// The one window-wrapper pattern of the program: the object passes `this` as the creation
// parameter, the window keeps it from WM_NCCREATE on (GWLP_USERDATA), and every message
// is forwarded to the object's HandleMessage. No global window-to-object maps.
//
// The window procedure is also the program's one error guard: an exception thrown by any
// message handler of any window of ours ends that handler, the message counts as handled
// (so a failed close does not fall through to the default close), and the general error
// report comes up; the program goes on.
#include "base/ErrorGuard_win.h"

#include <windows.h>

#include <stdexcept>

namespace tervane {

// What a window class of ours is registered with.
struct WindowClass {
    const wchar_t* name;
    HBRUSH background = nullptr; // nullptr: the window paints all of itself
    int iconResource = 0;        // 0: no icon
    UINT style = 0;              // CS_ flags
};

template <class Derived> class BaseWindow {
  public:
    HWND Handle() const { return hwnd_; }

  protected:
    // Registers the class for this wrapper once per process.
    static void RegisterClassOnce(HINSTANCE instance, const WindowClass& description) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        if (GetClassInfoExW(instance, description.name, &wc))
            return;
        wc.style = description.style;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        if (description.iconResource) {
            wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(description.iconResource));
            wc.hIconSm = static_cast<HICON>(LoadImageW(
                instance, MAKEINTRESOURCEW(description.iconResource), IMAGE_ICON, 16, 16, 0));
        }
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = description.background;
        wc.lpszClassName = description.name;
        if (!RegisterClassExW(&wc))
            throw std::runtime_error("Cannot register a window class");
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
        Derived* self = nullptr;
        if (msg == WM_NCCREATE) {
            self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        if (!self)
            return DefWindowProcW(hwnd, msg, wp, lp);
        LRESULT result = 0;
        RunGuarded(hwnd, [&] { result = self->HandleMessage(msg, wp, lp); });
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    }

    HWND hwnd_ = nullptr;
};

} // namespace tervane
