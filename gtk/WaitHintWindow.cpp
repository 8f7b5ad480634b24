#include "gtk/WaitHintWindow.h"

#include "gtk/WaylandBalloonSurface.h"

#include <gdk/gdkwayland.h>

#include <string>

namespace tervane {

namespace {

// The hint's frame and the tooltip colours, drawn by hand: a popup has no theme frame.
gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer) {
    const int width = gtk_widget_get_allocated_width(widget);
    const int height = gtk_widget_get_allocated_height(widget);
    cairo_set_source_rgb(cr, 1.0, 1.0, 225.0 / 255.0);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 0.5, 0.5, width - 1, height - 1);
    cairo_stroke(cr);
    return FALSE; // the label draws itself on top
}

} // namespace

WaitHintWindow::WaitHintWindow(int x, int y, std::string_view text, WaitHintRect monitor) {
    // On Wayland a window without a parent is a toplevel (or a layer surface).
    const bool wayland = GDK_IS_WAYLAND_DISPLAY(gdk_display_get_default());
    window_ = gtk_window_new(wayland ? GTK_WINDOW_TOPLEVEL : GTK_WINDOW_POPUP);
    gtk_window_set_role(GTK_WINDOW(window_), "tervane-wait-hint");
    gtk_window_set_title(GTK_WINDOW(window_), std::string(text).c_str());
    gtk_window_set_accept_focus(GTK_WINDOW(window_), FALSE);
    gtk_widget_set_app_paintable(window_, TRUE);
    GtkWidget* label = gtk_label_new(std::string(text).c_str());
    gtk_widget_set_margin_start(label, 5);
    gtk_widget_set_margin_top(label, 2);
    gtk_container_add(GTK_CONTAINER(window_), label);

    PangoLayout* layout = gtk_widget_create_pango_layout(label, std::string(text).c_str());
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    const WaitHintRect place = PlaceWaitHint(x, y, width, height, monitor);
    gtk_widget_set_size_request(window_, place.right - place.left, place.bottom - place.top);
    if (wayland)
        PlaceWaylandPopup(GTK_WINDOW(window_), "tervane-wait-hint");
    else
        gtk_window_move(GTK_WINDOW(window_), place.left, place.top);
    g_signal_connect(window_, "draw", G_CALLBACK(OnDraw), nullptr);
    gtk_widget_show_all(window_);
}

WaitHintWindow::~WaitHintWindow() {
    gtk_widget_destroy(window_);
}

} // namespace tervane
