#pragma once
// Where applications get no global hotkeys and the desktop has no shortcuts portal (sway and
// other wlroots compositors, GNOME before 48), the desktop itself must run the shortcut:
// this group of the hotkey panel says so, shows the command `tervane --translate-selection`
// with a copy button, and offers one click to add it where the desktop allows it (GNOME: a
// custom keybinding through the settings-daemon's GSettings schema), else the line to add
// (sway: a bindsym line for its configuration file).
#include <gtk/gtk.h>

#include <cstdint>
#include <string>

namespace tervane {

class DesktopShortcutBox {
  public:
    // `hotKeyText` names the hotkey the shortcut takes ("Ctrl+Shift+F12").
    DesktopShortcutBox(std::uint32_t hotKey, const std::string& hotKeyText);
    GtkWidget* Widget() const { return group_; }

    // GNOME: adds (or updates) the custom keybinding that runs the command; false when the
    // desktop's schema is not installed.
    static bool AddGnomeShortcut(std::uint32_t hotKey);

  private:
    GtkWidget* group_ = nullptr;
    std::uint32_t hotKey_;
};

} // namespace tervane
