#include "gtk/TrayIcon.h"

#include "base/AppIdentity.h"
#include "gtk/Images.h"

#include <libayatana-appindicator/app-indicator.h>

#include <string>

namespace tervane {

struct TrayIcon::Parts {
    AppIndicator* indicator = nullptr;
    GtkWidget* menu = nullptr;
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

} // namespace

TrayIcon::TrayIcon() : parts_(new Parts) {
    parts_->indicator = app_indicator_new_with_path(
        "tervane", "tervane", APP_INDICATOR_CATEGORY_APPLICATION_STATUS, IconFolder().c_str());
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

void TrayIcon::SetVisible(bool visible) {
    visible_ = visible;
    app_indicator_set_status(parts_->indicator,
                             visible ? APP_INDICATOR_STATUS_ACTIVE : APP_INDICATOR_STATUS_PASSIVE);
}

} // namespace tervane
