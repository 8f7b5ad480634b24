#pragma once
// The window's foot: the two lines of help and the copyright on the left, "_About",
// "_Minimize" and "E_xit" on the right. The About box is the panel's own; minimising and
// exiting are the window's, which sets the two callbacks.
#include <gtk/gtk.h>

#include <functional>

namespace tervane {

class BottomPanel {
  public:
    // `window` owns the About box.
    explicit BottomPanel(GtkWindow* window);
    BottomPanel(const BottomPanel&) = delete;
    BottomPanel& operator=(const BottomPanel&) = delete;

    GtkWidget* Widget() const { return area_; }
    void ShowCopyright() const;
    void Show(bool show) const { gtk_widget_set_visible(area_, show); }
    void OnAbout();

    std::function<void()> onMinimize;
    std::function<void()> onExit;

  private:
    GtkWindow* window_;
    GtkWidget* area_ = nullptr;
    GtkWidget* copyrightLabel_ = nullptr;
};

} // namespace tervane
