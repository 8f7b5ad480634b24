#pragma once
// The "Language" group: two pickers over the language table with their flags, the swap on
// a click on the group itself, and the compact-mode button. A view over the portable
// LanguageController, which holds the positions, the codes and the service's routes: a
// target the service does not reach from the source is drawn greyed, still selectable.
#include "app/LanguageController.h"

#include <gtk/gtk.h>

#include <functional>

namespace tervane {

class LanguagePanel {
  public:
    // `routes` must outlive the panel.
    explicit LanguagePanel(RoutesFetcher& routes);
    LanguagePanel(const LanguagePanel&) = delete;
    LanguagePanel& operator=(const LanguagePanel&) = delete;

    // The group, to be placed in the window.
    GtkWidget* Widget() const { return clickable_; }
    GtkComboBox* Source() const { return GTK_COMBO_BOX(source_); }
    GtkComboBox* Target() const { return GTK_COMBO_BOX(target_); }
    LanguageController& Controller() { return controller_; }
    // Compact: the pickers and the button alone, without the group's frame and caption.
    void SetCompact(bool compact) const;

    void OnSwapLanguages() { controller_.Swap(); }
    // A click on the compact-mode button; the window's form is the window's to change.
    std::function<void()> onCompactMode;

  private:
    void ShowController();
    void OnPickerChanged(GtkComboBox* picker);

    LanguageController controller_;
    GtkWidget* source_ = nullptr;
    GtkWidget* target_ = nullptr;
    GtkWidget* group_ = nullptr;
    GtkWidget* clickable_ = nullptr;
    // Set while the pickers are being made to show the controller, whose "changed"
    // signals are then not picks of the user's.
    bool showing_ = false;
};

} // namespace tervane
