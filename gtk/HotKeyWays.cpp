#include "gtk/HotKeyWays.h"

#include "gtk/DesktopRunHotKeys.h"
#include "gtk/HotKeyGrabs.h"
#include "gtk/PortalHotKeys.h"

#include <gdk/gdkwayland.h>

namespace tervane {

std::unique_ptr<GlobalHotKeys> MakeGlobalHotKeys(GdkDisplay* display) {
    if (!GDK_IS_WAYLAND_DISPLAY(display))
        return std::make_unique<HotKeyGrabs>();
    if (auto portal = PortalHotKeys::Connect())
        return portal;
    return std::make_unique<DesktopRunHotKeys>();
}

} // namespace tervane
