#include "gtk/MessageBoxes.h"

#include "base/AppIdentity.h"
#include "base/ErrorReport.h"

#include <exception>

namespace tervane {

namespace {

void RunBox(GtkWindow* owner, GtkMessageType type, const char* title, const std::string& text) {
    // A hidden owner (the window sits in the notification area) would hide the box too.
    if (owner && !gtk_widget_get_visible(GTK_WIDGET(owner)))
        owner = nullptr;
    GtkWidget* box =
        gtk_message_dialog_new(owner, GTK_DIALOG_MODAL, type, GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), title);
    // GTK's message boxes show no symbol of their own any more; the warning and the error
    // keep theirs, beside the text.
    const char* symbol = type == GTK_MESSAGE_WARNING ? "dialog-warning-symbolic"
                         : type == GTK_MESSAGE_ERROR ? "dialog-error-symbolic"
                                                     : nullptr;
    if (symbol) {
        GtkWidget* message = gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(box));
        GtkWidget* row = gtk_widget_get_parent(message);
        GtkWidget* image = gtk_image_new_from_icon_name(symbol, GTK_ICON_SIZE_DIALOG);
        gtk_widget_set_valign(image, GTK_ALIGN_START);
        gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);
        gtk_box_reorder_child(GTK_BOX(row), image, 0);
        gtk_widget_show(image);
    }
    gtk_window_set_position(GTK_WINDOW(box),
                            owner ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
    SetTextProperty(box, "_TERVANE_MESSAGE", text);
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
}

} // namespace

void SetTextProperty(GtkWidget* widget, const char* property, const std::string& text) {
    gtk_widget_realize(widget);
    GdkWindow* window = gtk_widget_get_window(widget);
    if (!window)
        return;
    gdk_property_change(window, gdk_atom_intern(property, FALSE),
                        gdk_atom_intern("UTF8_STRING", FALSE), 8, GDK_PROP_MODE_REPLACE,
                        reinterpret_cast<const guchar*>(text.data()),
                        static_cast<gint>(text.size()));
}

void ShowWarningBox(GtkWindow* owner, const std::string& text) {
    RunBox(owner, GTK_MESSAGE_WARNING, "Warning", text);
}

void ShowPlainBox(GtkWindow* owner, const std::string& text) {
    RunBox(owner, GTK_MESSAGE_OTHER, kApplicationTitle, text);
}

void ShowErrorReport(GtkWindow* owner, const std::string& message) {
    RunBox(owner, GTK_MESSAGE_ERROR, kApplicationTitle, ErrorReportText(message));
}

void RunGuarded(GtkWindow* owner, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ShowErrorReport(owner, error.what());
    } catch (...) {
        ShowErrorReport(owner, "Unknown error");
    }
}

} // namespace tervane
