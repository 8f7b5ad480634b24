#include "gtk/AboutBox.h"

#include "base/AppIdentity.h"
#include "gtk/Images.h"

#include <string>

namespace tervane {

namespace {

GtkWidget* Title(const char* colour) {
    GtkWidget* label = gtk_label_new(nullptr);
    const std::string markup = std::string("<span size='xx-large' foreground='") + colour + "'>" +
                               kApplicationTitle + "</span>";
    gtk_label_set_markup(GTK_LABEL(label), markup.c_str());
    return label;
}

} // namespace

void ShowAboutBox(GtkWindow* owner) {
    GtkWidget* box = gtk_dialog_new();
    gtk_window_set_title(GTK_WINDOW(box), "About");
    gtk_window_set_transient_for(GTK_WINDOW(box), owner);
    gtk_window_set_modal(GTK_WINDOW(box), TRUE);
    gtk_window_set_resizable(GTK_WINDOW(box), FALSE);
    gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER_ON_PARENT);

    GtkWidget* face = gtk_fixed_new();
    gtk_widget_set_size_request(face, 310, 251);
    GdkPixbuf* icon = ProgramIcon(32);
    gtk_fixed_put(GTK_FIXED(face), gtk_image_new_from_pixbuf(icon), 16, 16);
    g_object_unref(icon);
    // Silver one pixel up and left, then the text colour on top of it.
    GtkStyleContext* style = gtk_widget_get_style_context(GTK_WIDGET(box));
    GdkRGBA ink{};
    gtk_style_context_get_color(style, GTK_STATE_FLAG_NORMAL, &ink);
    // Pango's markup takes a colour as #rrggbb.
    char inkName[8];
    g_snprintf(inkName, sizeof inkName, "#%02x%02x%02x", static_cast<int>(ink.red * 255 + 0.5),
               static_cast<int>(ink.green * 255 + 0.5), static_cast<int>(ink.blue * 255 + 0.5));
    gtk_fixed_put(GTK_FIXED(face), Title("silver"), 79, 31);
    gtk_fixed_put(GTK_FIXED(face), Title(inkName), 80, 32);
    gtk_fixed_put(GTK_FIXED(face), gtk_label_new("Version: 5.1"), 116, 73);
    gtk_fixed_put(GTK_FIXED(face), gtk_label_new(CopyrightNotice().c_str()), 28, 224);
    GtkWidget* ok = gtk_button_new_with_label("OK");
    gtk_widget_set_size_request(ok, 73, 25);
    g_signal_connect_swapped(
        ok, "clicked",
        G_CALLBACK(+[](GtkDialog* dialog) { gtk_dialog_response(dialog, GTK_RESPONSE_OK); }), box);
    gtk_fixed_put(GTK_FIXED(face), ok, 118, 184);
    gtk_container_add(GTK_CONTAINER(gtk_dialog_get_content_area(GTK_DIALOG(box))), face);
    gtk_widget_show_all(face);
    gtk_widget_grab_focus(ok);
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
}

} // namespace tervane
