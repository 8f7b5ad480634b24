#pragma once
// The application window: an invisible-sized top-level window titled with the
// application title ("Tervane"), which owns the main window. The taskbar button is
// its own, so the taskbar shows "Tervane" while the main window's caption says
// "Tervane 5.1". Activating it (from the taskbar) activates the main window instead.
#include "app/BaseWindow_win.h"

class TApplicationWindow : public BaseWindow<TApplicationWindow> {
  public:
    TApplicationWindow() = default;
    TApplicationWindow(const TApplicationWindow&) = delete;
    TApplicationWindow& operator=(const TApplicationWindow&) = delete;
    ~TApplicationWindow();

    void Create(HINSTANCE instance);
    // The window that activation is handed on to.
    void SetMainWindow(HWND main) { main_ = main; }

  private:
    friend class BaseWindow<TApplicationWindow>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    HWND main_ = nullptr;
};
