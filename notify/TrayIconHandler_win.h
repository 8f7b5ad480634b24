#pragma once
// The hidden window all notification-area icons of the process share: the shell sends it
// every icon's notifications, and, being a top-level window (a message-only one is left
// out of broadcasts), it hears the shell's "TaskbarCreated" and has the shown icons added
// anew. Made with the first icon, destroyed with the last.
#include "base/BaseWindow_win.h"

#include <windows.h>

#include <cstddef>
#include <vector>

namespace tervane {

class TrayIcon;

class TrayIconHandler : public BaseWindow<TrayIconHandler> {
  public:
    // The shared window, or nullptr when no icon exists.
    static HWND Window();
    static std::size_t UserCount();

  private:
    friend class TrayIcon;
    friend class BaseWindow<TrayIconHandler>;
    static HWND Join(TrayIcon& icon);
    static void Leave(TrayIcon& icon);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    std::vector<TrayIcon*> icons_;
};

} // namespace tervane
