#pragma once
// The notification-area icon (Debian's libayatana-appindicator3): shown while the main
// window is hidden there. An indicator opens its menu on a click: its first item (and a
// middle click) brings the window back, "Exit" ends the program as the window's Exit does.
#include <functional>

namespace tervane {

class TrayIcon {
  public:
    TrayIcon();
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void SetVisible(bool visible);
    bool Visible() const { return visible_; }
    // Whether the desktop can show the icon: a notification area on the session bus has
    // taken the indicator, or, on X11, its fallback may sit in an old tray.
    bool CanBeShown() const;

    std::function<void()> onClick;
    std::function<void()> onExit;

  private:
    struct Parts;
    Parts* parts_;
    bool visible_ = false;
};

} // namespace tervane
