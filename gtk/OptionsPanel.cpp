#include "gtk/OptionsPanel.h"

#include "app/Transparency.h"
#include "gtk/Autostart.h"
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

OptionsPanel::OptionsPanel(GtkWindow* window) : window_(window) {
    transparencyGroup_ = gtk_frame_new("Transparency");
    slider_ = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, kSliderMin, kSliderMax, 1);
    gtk_scale_set_draw_value(GTK_SCALE(slider_), FALSE);
    for (int mark = kSliderMin; mark <= kSliderMax; ++mark)
        gtk_scale_add_mark(GTK_SCALE(slider_), mark, GTK_POS_BOTTOM, nullptr);
    gtk_range_set_value(GTK_RANGE(slider_), kSliderMax);
    gtk_widget_set_margin_start(slider_, 6);
    gtk_widget_set_margin_end(slider_, 6);
    gtk_container_add(GTK_CONTAINER(transparencyGroup_), slider_);
    // "value-changed" comes only for a new position.
    g_signal_connect_swapped(slider_, "value-changed",
                             G_CALLBACK(+[](OptionsPanel* self) { self->OnTransparencyChange(); }),
                             this);

    optionsGroup_ = gtk_frame_new("Options");
    GtkWidget* grid = gtk_grid_new();
    gtk_container_set_border_width(GTK_CONTAINER(grid), 6);
    gtk_grid_set_row_spacing(GTK_GRID(grid), 2);
    freezeBox_ = CheckBox("Freeze & wait for translation result", true);
    copyToClipboardBox_ = CheckBox("Copy translation result to clipboard", false);
    logToFileBox_ = CheckBox("Log translation results to file", false);
    GtkWidget* viewLogButton = gtk_button_new_with_label("...");
    autostartBox_ = CheckBox("Start when I log in", AutostartEnabled());
    gtk_grid_attach(GTK_GRID(grid), freezeBox_, 0, 0, 2, 1);
    gtk_grid_attach(GTK_GRID(grid), copyToClipboardBox_, 0, 1, 2, 1);
    gtk_grid_attach(GTK_GRID(grid), logToFileBox_, 0, 2, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), viewLogButton, 1, 2, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), autostartBox_, 0, 3, 2, 1);
    gtk_container_add(GTK_CONTAINER(optionsGroup_), grid);
    // "toggled" comes only for a new state.
    g_signal_connect_swapped(logToFileBox_, "toggled", G_CALLBACK(+[](OptionsPanel* self) {
                                 RunGuarded(self->window_, [self] { self->OnLogToFileClick(); });
                             }),
                             this);
    g_signal_connect_swapped(viewLogButton, "clicked",
                             G_CALLBACK(+[](OptionsPanel* self) { self->OnViewLog(); }), this);
    g_signal_connect_swapped(autostartBox_, "toggled", G_CALLBACK(+[](OptionsPanel* self) {
                                 RunGuarded(self->window_, [self] { self->OnAutostartClick(); });
                             }),
                             this);
}

GtkToggleButton* OptionsPanel::Box(Option option) const {
    switch (option) {
    case Option::Freeze:
        return GTK_TOGGLE_BUTTON(freezeBox_);
    case Option::CopyToClipboard:
        return GTK_TOGGLE_BUTTON(copyToClipboardBox_);
    case Option::LogToFile:
        break;
    }
    return GTK_TOGGLE_BUTTON(logToFileBox_);
}

void OptionsPanel::Show(bool show) const {
    gtk_widget_set_visible(transparencyGroup_, show);
    gtk_widget_set_visible(optionsGroup_, show);
}

// The whole window at the slider's opacity; opaque at its maximum.
void OptionsPanel::OnTransparencyChange() {
    const int position = static_cast<int>(gtk_range_get_value(GTK_RANGE(slider_)));
    const std::optional<std::uint8_t> opacity = OpacityForSlider(position);
    // A toplevel passes its opacity to its X window (the compositor's property) only once
    // it has one.
    GtkWidget* window = GTK_WIDGET(window_);
    gtk_widget_realize(window);
    gtk_widget_set_opacity(window, opacity ? *opacity / 255.0 : 1.0);
}

// Switching logging on creates the log with its banner when there is none; switching it
// off leaves the file alone.
void OptionsPanel::OnLogToFileClick() {
    if (!gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(logToFileBox_)))
        return;
    PosixLogFiles files;
    LocaleClock clock;
    TranslationLog(LinuxTranslationLogPath(), files, clock).CreateWithBanner();
}

// The log in the desktop's text editor (the application for plain text); a failure to
// start it is not reported.
void OptionsPanel::OnViewLog() {
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

void OptionsPanel::OnAutostartClick() {
    SetAutostart(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(autostartBox_)));
}

} // namespace tervane
