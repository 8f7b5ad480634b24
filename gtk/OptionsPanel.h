#pragma once
// The groups "Transparency" and "Options": the slider that makes the window see-through,
// the three options of the translation with the log's "..." button, and starting with
// the desktop.
#include "app/Settings.h"

#include <gtk/gtk.h>

namespace tervane {

class OptionsPanel {
  public:
    // `window` is the window the slider makes see-through and the owner of error boxes.
    explicit OptionsPanel(GtkWindow* window);
    OptionsPanel(const OptionsPanel&) = delete;
    OptionsPanel& operator=(const OptionsPanel&) = delete;

    GtkWidget* TransparencyGroup() const { return transparencyGroup_; }
    GtkWidget* OptionsGroup() const { return optionsGroup_; }
    GtkRange* Slider() const { return GTK_RANGE(slider_); }
    GtkToggleButton* Box(Option option) const;
    void Show(bool show) const;

    void OnTransparencyChange();
    void OnLogToFileClick();
    void OnViewLog();
    void OnAutostartClick();

  private:
    GtkWindow* window_;
    GtkWidget* transparencyGroup_ = nullptr;
    GtkWidget* slider_ = nullptr;
    GtkWidget* optionsGroup_ = nullptr;
    GtkWidget* freezeBox_ = nullptr;
    GtkWidget* copyToClipboardBox_ = nullptr;
    GtkWidget* logToFileBox_ = nullptr;
    GtkWidget* autostartBox_ = nullptr;
};

} // namespace tervane
