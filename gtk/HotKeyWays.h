#pragma once
// Which global hotkeys the session gives the program: X11 key grabs; on Wayland the
// GlobalShortcuts portal where the desktop has it, else the list alone (the desktop runs
// the shortcut).
#include "gtk/GlobalHotKeys.h"

#include <gdk/gdk.h>

#include <memory>

namespace tervane {

std::unique_ptr<GlobalHotKeys> MakeGlobalHotKeys(GdkDisplay* display);

} // namespace tervane
