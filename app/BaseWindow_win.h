#pragma once
// The one window-wrapper pattern of the program: the object passes `this` as the creation
// parameter, the window keeps it from WM_NCCREATE on (GWLP_USERDATA), and every message
// is forwarded to the object's HandleMessage. No global window-to-object maps.
#include "app/res/resource.h"

#include <windows.h>

#include <stdexcept>

template <class Derived> class BaseWindow {
  public:
    HWND Handle() const { return hwnd_; }

  protected:
    // Registers the class `name` for this wrapper once per process, with the program's
    // icon; the background brush is the class's (nullptr: the window paints it all).
    static void RegisterClassOnce(HINSTANCE instance, const wchar_t* name, HBRUSH background) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        if (GetClassInfoExW(instance, name, &wc)) return;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TERVANE));
        wc.hIconSm = static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(IDI_TERVANE), IMAGE_ICON, 16, 16, 0));
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        wc.hbrBackground = background;
        wc.lpszClassName = name;
        if (!RegisterClassExW(&wc)) throw std::runtime_error("Cannot register a window class");
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        Derived* self = nullptr;
        if (msg == WM_NCCREATE) {
            self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
        LRESULT result = self->HandleMessage(msg, wp, lp);
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    }

    HWND hwnd_ = nullptr;
};
