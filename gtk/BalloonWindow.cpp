#include "gtk/BalloonWindow.h"

#include "gtk/FlowTrace.h"
#include "gtk/Images.h"
#include "gtk/WaylandBalloonSurface.h"
#include "notify/BalloonGeometry.h"

#include <gdk/gdkwayland.h>
#include <gtk/gtk.h>

#include <utility>

namespace tervane {

namespace {

// The tooltip colour of the balloon's pictures, so that they blend into its body.
constexpr double kBackground[3] = {1.0, 1.0, 225.0 / 255.0};

struct Balloon {
    GtkWidget* window = nullptr;
    BalloonGeometry geometry;
    PangoLayout* title = nullptr;
    PangoLayout* text = nullptr;
    PangoLayout* dictionary = nullptr; // none for a balloon without entries
    GdkPixbuf* picture = nullptr;
    cairo_region_t* shape = nullptr;  // the body and the arrow
    cairo_region_t* inside = nullptr; // the shape less its one-pixel edge
    guint timer = 0;
    bool drawn = false;

    ~Balloon() {
        if (timer)
            g_source_remove(timer);
        g_clear_object(&title);
        g_clear_object(&text);
        g_clear_object(&dictionary);
        g_clear_object(&picture);
        if (inside)
            cairo_region_destroy(inside);
        if (shape)
            cairo_region_destroy(shape);
    }
};

// The rounded body and the arrow, filled one after the other: their paths may turn opposite
// ways, and one path would leave their overlap out.
void FillOutline(cairo_t* cr, const BalloonGeometry& g) {
    const double r = kBalloonCornerDiameter / 2.0;
    const BalloonRect& b = g.body;
    cairo_new_path(cr);
    cairo_arc(cr, b.left + r, b.top + r, r, G_PI, 1.5 * G_PI);
    cairo_arc(cr, b.right - r, b.top + r, r, 1.5 * G_PI, 2 * G_PI);
    cairo_arc(cr, b.right - r, b.bottom - r, r, 0, 0.5 * G_PI);
    cairo_arc(cr, b.left + r, b.bottom - r, r, 0.5 * G_PI, G_PI);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_move_to(cr, g.arrow[0].x, g.arrow[0].y);
    cairo_line_to(cr, g.arrow[1].x, g.arrow[1].y);
    cairo_line_to(cr, g.arrow[2].x, g.arrow[2].y);
    cairo_close_path(cr);
    cairo_fill(cr);
}

// The pixels of `region` whose four neighbours are in it too.
cairo_region_t* Inside(const cairo_region_t* region) {
    cairo_region_t* inside = cairo_region_copy(region);
    for (const auto& [dx, dy] :
         {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
        cairo_region_t* moved = cairo_region_copy(region);
        cairo_region_translate(moved, dx, dy);
        cairo_region_intersect(inside, moved);
        cairo_region_destroy(moved);
    }
    return inside;
}

// The window's shape, so that only the body and the arrow are there to see and to click.
cairo_region_t* OutlineRegion(const BalloonGeometry& g) {
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A1, g.width, g.height);
    cairo_t* cr = cairo_create(mask);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    FillOutline(cr, g);
    cairo_destroy(cr);
    cairo_region_t* region = gdk_cairo_region_create_from_surface(mask);
    cairo_surface_destroy(mask);
    return region;
}

gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer data) {
    Balloon& balloon = *static_cast<Balloon*>(data);
    if (!balloon.drawn) {
        balloon.drawn = true;
        TraceFlowPoint("drawn");
    }
    const BalloonGeometry& g = balloon.geometry;
    // Wayland has no window shapes: outside the shape the surface is transparent.
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    gdk_cairo_region(cr, balloon.shape);
    cairo_clip(cr);
    // The shape in black, then its inside in the background colour: a one-pixel border
    // along the body and the arrow, none where they join.
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, kBackground[0], kBackground[1], kBackground[2]);
    gdk_cairo_region(cr, balloon.inside);
    cairo_fill(cr);
    gdk_cairo_set_source_pixbuf(cr, balloon.picture, g.icon.x, g.icon.y);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, g.title.x, g.title.y);
    pango_cairo_show_layout(cr, balloon.title);
    cairo_move_to(cr, g.text.x, g.text.y);
    pango_cairo_show_layout(cr, balloon.text);
    if (balloon.dictionary) {
        cairo_set_source_rgb(cr, kDictionaryColour.red / 255.0, kDictionaryColour.green / 255.0,
                             kDictionaryColour.blue / 255.0);
        cairo_move_to(cr, g.dictionary.x, g.dictionary.y);
        pango_cairo_show_layout(cr, balloon.dictionary);
    }
    return TRUE;
}

gboolean OnClick(GtkWidget* window, GdkEventButton*, gpointer) {
    gtk_widget_destroy(window);
    return TRUE;
}

gboolean OnTimer(gpointer data) {
    auto* balloon = static_cast<Balloon*>(data);
    balloon->timer = 0;
    gtk_widget_destroy(balloon->window);
    return G_SOURCE_REMOVE;
}

void OnDestroy(GtkWidget*, gpointer data) {
    delete static_cast<Balloon*>(data);
}

BalloonSize PixelSize(PangoLayout* layout) {
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    return {width, height};
}

} // namespace

void ShowBalloonWindow(const BalloonContent& content) {
    auto* balloon = new Balloon;
    // On Wayland a window without a parent is a toplevel (or a layer surface).
    const bool wayland = GDK_IS_WAYLAND_DISPLAY(gdk_display_get_default());
    GtkWidget* window = gtk_window_new(wayland ? GTK_WINDOW_TOPLEVEL : GTK_WINDOW_POPUP);
    balloon->window = window;
    gtk_window_set_title(GTK_WINDOW(window), BalloonWindowText(content).c_str());
    gtk_window_set_role(GTK_WINDOW(window), "tervane-balloon");
    gtk_window_set_accept_focus(GTK_WINDOW(window), FALSE);
    gtk_window_set_keep_above(GTK_WINDOW(window), TRUE);
    gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window), TRUE);
    gtk_widget_set_app_paintable(window, TRUE);

    balloon->title = gtk_widget_create_pango_layout(window, content.title.c_str());
    PangoAttrList* bold = pango_attr_list_new();
    pango_attr_list_insert(bold, pango_attr_weight_new(PANGO_WEIGHT_BOLD));
    pango_layout_set_attributes(balloon->title, bold);
    pango_attr_list_unref(bold);
    balloon->text = gtk_widget_create_pango_layout(window, content.text.c_str());
    if (!content.dictionary.empty())
        balloon->dictionary = gtk_widget_create_pango_layout(window, content.dictionary.c_str());
    balloon->picture = BalloonPicture(content.type);
    // Kept inside the work area of the monitor under the target: flipped, or moved in.
    GdkMonitor* monitor =
        gdk_display_get_monitor_at_point(gdk_display_get_default(), content.x, content.y);
    GdkRectangle work{};
    gdk_monitor_get_workarea(monitor, &work);
    const BalloonLabels labels{PixelSize(balloon->title), PixelSize(balloon->text),
                               balloon->dictionary ? PixelSize(balloon->dictionary)
                                                   : BalloonSize{}};
    balloon->geometry =
        LayOutBalloonInside(content.position, {content.x, content.y}, labels,
                            {work.x, work.y, work.x + work.width, work.y + work.height});
    const BalloonGeometry& g = balloon->geometry;

    gtk_window_set_default_size(GTK_WINDOW(window), g.width, g.height);
    gtk_widget_set_size_request(window, g.width, g.height);
    gtk_window_move(GTK_WINDOW(window), g.origin.x, g.origin.y);
    balloon->shape = OutlineRegion(g);
    balloon->inside = Inside(balloon->shape);
    if (wayland) {
        if (GdkVisual* rgba = gdk_screen_get_rgba_visual(gtk_widget_get_screen(window)))
            gtk_widget_set_visual(window, rgba);
        gtk_widget_input_shape_combine_region(window, balloon->shape);
        PlaceWaylandBalloon(GTK_WINDOW(window), g, nullptr);
    } else {
        gtk_widget_shape_combine_region(window, balloon->shape);
    }

    gtk_widget_add_events(window, GDK_BUTTON_PRESS_MASK);
    g_signal_connect(window, "draw", G_CALLBACK(OnDraw), balloon);
    g_signal_connect(window, "button-press-event", G_CALLBACK(OnClick), nullptr);
    g_signal_connect(window, "destroy", G_CALLBACK(OnDestroy), balloon);
    if (const std::uint32_t delay = BalloonCloseDelay(content.duration))
        balloon->timer = g_timeout_add(delay, OnTimer, balloon);
    gtk_widget_show(window);
}

} // namespace tervane
