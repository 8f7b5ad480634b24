#pragma once
// The "Language" group: two pickers over the language table with their flags, the swap on
// a click on the group itself, and the compact-mode button. The translation flow takes the
// languages' codes from the pickers' positions at each press (app/Settings), so no code is
// kept here.
#include <gtk/gtk.h>

#include <functional>

namespace tervane {

class LanguagePanel {
  public:
    LanguagePanel();
    LanguagePanel(const LanguagePanel&) = delete;
    LanguagePanel& operator=(const LanguagePanel&) = delete;

    // The group, to be placed in the window.
    GtkWidget* Widget() const { return clickable_; }
    GtkComboBox* Source() const { return GTK_COMBO_BOX(source_); }
    GtkComboBox* Target() const { return GTK_COMBO_BOX(target_); }
    // Compact: the pickers and the button alone, without the group's frame and caption.
    void SetCompact(bool compact) const;

    void OnSwapLanguages();
    // A click on the compact-mode button; the window's form is the window's to change.
    std::function<void()> onCompactMode;

  private:
    GtkWidget* source_ = nullptr;
    GtkWidget* target_ = nullptr;
    GtkWidget* group_ = nullptr;
    GtkWidget* clickable_ = nullptr;
};

} // namespace tervane
