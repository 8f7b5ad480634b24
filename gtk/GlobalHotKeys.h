#pragma once
// The program's global hotkeys, one way per desktop: X11 key grabs (HotKeyGrabs), the
// GlobalShortcuts portal (PortalHotKeys), or none where the desktop itself must run the
// shortcut (DesktopRunHotKeys: the list is kept, the desktop's shortcut runs
// `tervane --translate-selection`). The hotkey panel lists what it holds.
#include "app/HotKeyListController.h"

#include <cstdint>
#include <functional>

namespace tervane {

enum class HotKeyWay {
    Grabs,         // the program hears the keys itself
    Portal,        // the desktop's portal binds them and tells the program of a press
    DesktopRunsIt, // the user adds a shortcut of the desktop's own
};

// The hotkey list's registrar on the Linux desktop.
class GlobalHotKeys : public HotKeyRegistrar {
  public:
    virtual HotKeyWay Way() const = 0;
    // While the hotkey field has the focus the program's own key grabs step aside, so that
    // the field can record a combination that is a hotkey; a desktop's shortcuts cannot.
    virtual void Pause() {}
    virtual void Resume() {}

    // Raised on the main loop for every press of a held hotkey.
    std::function<void(std::uint32_t hotKey)> onPressed;
};

} // namespace tervane
