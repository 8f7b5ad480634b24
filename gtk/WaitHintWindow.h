#pragma once
// The "please wait" hint on the Linux desktop: a small popup in the tooltip's colours,
// placed by notify/WaitHint, shown (and drawn) while the object lives.
#include "notify/WaitHint.h"

#include <gtk/gtk.h>

#include <string_view>

namespace tervane {

class WaitHintWindow {
  public:
    // Shown at once; the main loop draws it while the exchange runs on its worker.
    WaitHintWindow(int x, int y, std::string_view text, WaitHintRect monitor);
    ~WaitHintWindow();
    WaitHintWindow(const WaitHintWindow&) = delete;
    WaitHintWindow& operator=(const WaitHintWindow&) = delete;

  private:
    GtkWidget* window_ = nullptr;
};

} // namespace tervane
