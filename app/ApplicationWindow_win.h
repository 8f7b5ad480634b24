#pragma once
// The application window: an invisible-sized top-level window titled with the
// application title ("Tervane"), which owns the main window. The taskbar button is
// its own, so the taskbar shows "Tervane" while the main window's caption says
// "Tervane 5.1". Activating it (from the taskbar) activates the main window instead.
#include "base/BaseWindow_win.h"

namespace tervane {

class ApplicationWindow : public BaseWindow<ApplicationWindow> {
  public:
    ApplicationWindow() = default;
    ApplicationWindow(const ApplicationWindow&) = delete;
    ApplicationWindow& operator=(const ApplicationWindow&) = delete;
    ~ApplicationWindow();

    void Create(HINSTANCE instance);
    // The window that activation is handed on to.
    void SetMainWindow(HWND main) { main_ = main; }

  private:
    friend class BaseWindow<ApplicationWindow>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    HWND main_ = nullptr;
};

} // namespace tervane
