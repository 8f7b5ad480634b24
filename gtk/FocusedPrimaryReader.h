#pragma once
// The PRIMARY selection on a Wayland compositor without data-control (GNOME's Mutter): a
// compositor hands the selection only to the client with the keyboard focus, so a small
// undecorated window of ours takes the focus for the read and is destroyed after it, which
// gives the focus back to the window that had it. The clipboard is never read.
#include "gtk/PrimaryReader.h"

#include <gtk/gtk.h>

namespace tervane {

class FocusedPrimaryReader final : public PrimaryReader {
  public:
    explicit FocusedPrimaryReader(GdkDisplay* display) : display_(display) {}
    void Read(PrimaryText done) override;
    const char* Way() const override { return "focused-surface"; }

  private:
    GdkDisplay* display_;
};

} // namespace tervane
