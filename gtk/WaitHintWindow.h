#pragma once
// The "please wait" hint on the Linux desktop: a small popup in the tooltip's colours,
// placed by notify/WaitHint, shown (and drawn) while the object lives.
#include "notify/WaitHint.h"

#include <gtk/gtk.h>

#include <string_view>

namespace tervane {

class WaitHintWindow {
  public:
    // Returns once the hint is on the screen, so that it shows while the main loop waits
    // for the exchange.
    WaitHintWindow(int x, int y, std::string_view text, WaitHintRect monitor);
    ~WaitHintWindow();
    WaitHintWindow(const WaitHintWindow&) = delete;
    WaitHintWindow& operator=(const WaitHintWindow&) = delete;

  private:
    GtkWidget* window_ = nullptr;
    bool drawn_ = false;
};

} // namespace tervane
