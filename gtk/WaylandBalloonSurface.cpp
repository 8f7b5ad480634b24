#include "gtk/WaylandBalloonSurface.h"

#include <gtk-layer-shell.h>

namespace tervane {

void PlaceWaylandPopup(GtkWindow* window, const char* name) {
    if (!gtk_layer_is_supported()) {
        gtk_window_set_decorated(window, FALSE);
        gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_NOTIFICATION);
        return;
    }
    gtk_layer_init_for_window(window);
    gtk_layer_set_namespace(window, name);
    gtk_layer_set_layer(window, GTK_LAYER_SHELL_LAYER_OVERLAY);
    gtk_layer_set_keyboard_mode(window, GTK_LAYER_SHELL_KEYBOARD_MODE_NONE);
    // Other layer surfaces' exclusive zones (panels) are kept clear; without an anchor the
    // compositor centres the surface.
    gtk_layer_set_exclusive_zone(window, 0);
}

void PlaceWaylandBalloon(GtkWindow* window, const BalloonGeometry& g, GdkMonitor* monitor) {
    PlaceWaylandPopup(window, "tervane-balloon");
    if (!monitor || !gtk_layer_is_supported())
        return;
    GdkRectangle area{};
    gdk_monitor_get_geometry(monitor, &area);
    gtk_layer_set_monitor(window, monitor);
    gtk_layer_set_anchor(window, GTK_LAYER_SHELL_EDGE_LEFT, TRUE);
    gtk_layer_set_anchor(window, GTK_LAYER_SHELL_EDGE_TOP, TRUE);
    gtk_layer_set_margin(window, GTK_LAYER_SHELL_EDGE_LEFT, g.origin.x - area.x);
    gtk_layer_set_margin(window, GTK_LAYER_SHELL_EDGE_TOP, g.origin.y - area.y);
}

} // namespace tervane
