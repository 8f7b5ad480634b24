#include "gtk/TrayIcon.h"

#include "base/AppIdentity.h"
#include "gtk/Images.h"

#include <gdk/gdkwayland.h>
#include <libayatana-appindicator/app-indicator.h>

#include <string>

namespace tervane {

struct TrayIcon::Parts {
    AppIndicator* indicator = nullptr;
    GtkWidget* menu = nullptr;
    bool hostConnected = false;
    bool withFallback = true;
};

namespace {

// The indicator takes its icon by name from a folder: the program's icon is written to the
// user's cache once per start.
std::string IconFolder() {
    const std::string folder = std::string(g_get_user_cache_dir()) + "/tervane/icons";
    g_mkdir_with_parents(folder.c_str(), 0700);
    GdkPixbuf* icon = ProgramIcon(32);
    gdk_pixbuf_save(icon, (folder + "/tervane.png").c_str(), "png", nullptr, nullptr);
    g_object_unref(icon);
    return folder;
}

void OnShowItem(GtkMenuItem*, gpointer self) {
    auto* tray = static_cast<TrayIcon*>(self);
    if (tray->onClick)
        tray->onClick();
}

void OnExitItem(GtkMenuItem*, gpointer self) {
    auto* tray = static_cast<TrayIcon*>(self);
    if (tray->onExit)
        tray->onExit();
}

// Without a notification area on the session bus an indicator falls back to an X11 tray
// icon; a Wayland display has no such tray (GTK only logs a critical error there), so on
// Wayland the indicator is of a kind that makes no fallback.
GType IndicatorWithoutFallbackType() {
    static const GType type = [] {
        GTypeQuery parent{};
        g_type_query(APP_INDICATOR_TYPE, &parent);
        return g_type_register_static_simple(
            APP_INDICATOR_TYPE, "TervaneIndicatorWithoutFallback", parent.class_size,
            [](gpointer klass, gpointer) {
                auto* indicator = static_cast<AppIndicatorClass*>(klass);
                indicator->fallback = nullptr;
                indicator->unfallback = nullptr;
            },
            parent.instance_size, nullptr, static_cast<GTypeFlags>(0));
    }();
    return type;
}

AppIndicator* NewIndicator(const std::string& iconFolder, bool withFallback) {
    const GType type = withFallback ? APP_INDICATOR_TYPE : IndicatorWithoutFallbackType();
    return static_cast<AppIndicator*>(g_object_new(type, "id", "tervane", "icon-name", "tervane",
                                                   "category", "ApplicationStatus",
                                                   "icon-theme-path", iconFolder.c_str(), nullptr));
}

} // namespace

TrayIcon::TrayIcon() : parts_(new Parts) {
    parts_->withFallback = !GDK_IS_WAYLAND_DISPLAY(gdk_display_get_default());
    parts_->indicator = NewIndicator(IconFolder(), parts_->withFallback);
    const auto onConnectionChanged = +[](AppIndicator*, gboolean connected, gpointer parts) {
        static_cast<Parts*>(parts)->hostConnected = connected != FALSE;
    };
    g_signal_connect(parts_->indicator, APP_INDICATOR_SIGNAL_CONNECTION_CHANGED,
                     G_CALLBACK(onConnectionChanged), parts_);
    app_indicator_set_title(parts_->indicator, kApplicationTitle);
    parts_->menu = gtk_menu_new();
    GtkWidget* show = gtk_menu_item_new_with_label("Show Tervane");
    g_signal_connect(show, "activate", G_CALLBACK(OnShowItem), this);
    gtk_menu_shell_append(GTK_MENU_SHELL(parts_->menu), show);
    GtkWidget* exit = gtk_menu_item_new_with_label("Exit");
    g_signal_connect(exit, "activate", G_CALLBACK(OnExitItem), this);
    gtk_menu_shell_append(GTK_MENU_SHELL(parts_->menu), exit);
    gtk_widget_show_all(parts_->menu);
    app_indicator_set_menu(parts_->indicator, GTK_MENU(parts_->menu));
    app_indicator_set_secondary_activate_target(parts_->indicator, show);
    app_indicator_set_status(parts_->indicator, APP_INDICATOR_STATUS_PASSIVE);
}

TrayIcon::~TrayIcon() {
    app_indicator_set_status(parts_->indicator, APP_INDICATOR_STATUS_PASSIVE);
    g_object_unref(parts_->indicator);
    delete parts_;
}

bool TrayIcon::CanBeShown() const {
    return parts_->hostConnected || parts_->withFallback;
}

void TrayIcon::SetVisible(bool visible) {
    visible_ = visible;
    app_indicator_set_status(parts_->indicator,
                             visible ? APP_INDICATOR_STATUS_ACTIVE : APP_INDICATOR_STATUS_PASSIVE);
}

} // namespace tervane
