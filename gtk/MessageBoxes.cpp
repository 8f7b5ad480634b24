#include "gtk/MessageBoxes.h"

#include "base/AppIdentity.h"
#include "base/ErrorReport.h"

#include <exception>

namespace {

void RunBox(GtkWindow* owner, GtkMessageType type, const char* title, const std::string& text) {
    // A hidden owner (the window sits in the notification area) would hide the box too.
    if (owner && !gtk_widget_get_visible(GTK_WIDGET(owner)))
        owner = nullptr;
    GtkWidget* box =
        gtk_message_dialog_new(owner, GTK_DIALOG_MODAL, type, GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), title);
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
