#pragma once
// The balloon's surface in a Wayland session. A client cannot place its windows there, nor
// learn where the pointer is outside its own surfaces; where the compositor supports
// layer-shell (sway, KDE, Hyprland) the balloon is an overlay layer surface that takes no
// keyboard focus: at its laid-out place on its monitor when the target is known, else
// centred by the compositor on the output it chooses (the one with the focused window),
// inside that output's usable area. Without layer-shell (GNOME) it is a plain undecorated
// window that the compositor places.
#include "notify/BalloonGeometry.h"

#include <gtk/gtk.h>

namespace tervane {

// Call before the window is shown. `monitor` is where the geometry was laid out; nullptr
// when the target is not known.
void PlaceWaylandBalloon(GtkWindow* window, const BalloonGeometry& geometry, GdkMonitor* monitor);

// The same for a small popup of the program's (the wait hint), which the compositor places.
void PlaceWaylandPopup(GtkWindow* window, const char* name);

} // namespace tervane
