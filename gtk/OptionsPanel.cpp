// The options panel of the main window: the transparency slider, the compact language bar,
// the log option and its "..." button, starting with the desktop, About, and hiding to the
// notification area.
#include "app/Transparency.h"
#include "gtk/AboutBox.h"
#include "gtk/Autostart.h"
#include "gtk/MainWindow.h"
#include "gtk/MessageBoxes.h"
#include "gtk/PosixLog.h"
#include "translate/TranslationLog.h"

namespace tervane {

namespace {

GtkWidget* CheckBox(const char* caption, bool checked) {
    GtkWidget* box = gtk_check_button_new_with_label(caption);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(box), checked);
    return box;
}

} // namespace

GtkWidget* MainWindow::CreateOptionsPanel() {
    optionsGroup_ = gtk_frame_new("Options");
    GtkWidget* grid = gtk_grid_new();
    gtk_container_set_border_width(GTK_CONTAINER(grid), 6);
    gtk_grid_set_row_spacing(GTK_GRID(grid), 2);
    freezeBox_ = CheckBox("Freeze & wait for translation result", true);
    copyToClipboardBox_ = CheckBox("Copy translation result to clipboard", false);
    logToFileBox_ = CheckBox("Log translation results to file", false);
    viewLogButton_ = gtk_button_new_with_label("...");
    autostartBox_ = CheckBox("Start when I log in", AutostartEnabled());
    gtk_grid_attach(GTK_GRID(grid), freezeBox_, 0, 0, 2, 1);
    gtk_grid_attach(GTK_GRID(grid), copyToClipboardBox_, 0, 1, 2, 1);
    gtk_grid_attach(GTK_GRID(grid), logToFileBox_, 0, 2, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), viewLogButton_, 1, 2, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), autostartBox_, 0, 3, 2, 1);
    gtk_container_add(GTK_CONTAINER(optionsGroup_), grid);
    g_signal_connect_swapped(logToFileBox_, "toggled", G_CALLBACK(+[](MainWindow* self) {
                                 RunGuarded(self->Window(), [self] { self->OnLogToFileClick(); });
                             }),
                             this);
    g_signal_connect_swapped(viewLogButton_, "clicked",
                             G_CALLBACK(+[](MainWindow* self) { self->OnViewLog(); }), this);
    g_signal_connect_swapped(autostartBox_, "toggled", G_CALLBACK(+[](MainWindow* self) {
                                 RunGuarded(self->Window(), [self] { self->OnAutostartClick(); });
                             }),
                             this);
    return optionsGroup_;
}

// The whole window at the slider's opacity; opaque at its maximum.
void MainWindow::OnTransparencyChange() {
    const int position = static_cast<int>(gtk_range_get_value(GTK_RANGE(transparencySlider_)));
    const std::optional<std::uint8_t> opacity = OpacityForSlider(position);
    // A toplevel passes its opacity to its X window (the compositor's property) only once
    // it has one.
    gtk_widget_realize(window_);
    gtk_widget_set_opacity(window_, opacity ? *opacity / 255.0 : 1.0);
}

// Full window <-> a small always-on-top bar with the two pickers and this button. The
// window is hidden while it changes and keeps its top-left corner on the screen.
void MainWindow::OnCompactMode() {
    compact_ = !compact_;
    int x = 0, y = 0;
    gtk_window_get_position(Window(), &x, &y);
    gtk_widget_hide(window_);
    for (GtkWidget* part :
         {hotKeyGroup_, hotKeysInUseGroup_, transparencyGroup_, optionsGroup_, bottomArea_})
        gtk_widget_set_visible(part, !compact_);
    gtk_frame_set_label(GTK_FRAME(languageGroup_), compact_ ? nullptr : "Language");
    gtk_frame_set_shadow_type(GTK_FRAME(languageGroup_),
                              compact_ ? GTK_SHADOW_NONE : GTK_SHADOW_ETCHED_IN);
    gtk_window_set_type_hint(Window(),
                             compact_ ? GDK_WINDOW_TYPE_HINT_UTILITY : GDK_WINDOW_TYPE_HINT_NORMAL);
    gtk_window_set_keep_above(Window(), compact_);
    gtk_window_resize(Window(), 1, 1); // the smallest size its contents take
    gtk_window_move(Window(), x, y);
    gtk_widget_show(window_);
}

// Switching logging on creates the log with its banner when there is none; switching it
// off leaves the file alone.
void MainWindow::OnLogToFileClick() {
    if (!gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(logToFileBox_)))
        return;
    PosixLogFiles files;
    LocaleClock clock;
    TranslationLog(LinuxTranslationLogPath(), files, clock).CreateWithBanner();
}

// The log in the desktop's text editor (the application for plain text); a failure to
// start it is not reported.
void MainWindow::OnViewLog() {
    GFile* log = g_file_new_for_path(LinuxTranslationLogPath().c_str());
    if (GAppInfo* editor = g_app_info_get_default_for_type("text/plain", FALSE)) {
        GList files{log, nullptr, nullptr};
        g_app_info_launch(editor, &files, nullptr, nullptr);
        g_object_unref(editor);
    } else {
        gchar* uri = g_file_get_uri(log);
        g_app_info_launch_default_for_uri(uri, nullptr, nullptr);
        g_free(uri);
    }
    g_object_unref(log);
}

void MainWindow::OnAbout() {
    ShowAboutBox(Window());
}

void MainWindow::OnAutostartClick() {
    SetAutostart(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(autostartBox_)));
}

// The window goes, the icon comes; the hotkeys keep working (they are grabs on the root
// window, not the main window's).
void MainWindow::OnMinimize() {
    gtk_widget_hide(window_);
    tray_->SetVisible(true);
}

void MainWindow::OnTrayIconClick() {
    tray_->SetVisible(false);
    gtk_widget_show(window_);
    gtk_window_present(Window());
}

} // namespace tervane
