#pragma once
// The window's foot: the two lines of help, the copyright line and the buttons "&About",
// "&Minimize" and "E&xit". The About box is the panel's own; minimising and exiting are
// the window's, which handles those two buttons.
#include "app/PanelBuilder_win.h"

namespace tervane {

class BottomPanel {
  public:
    void Create(const PanelBuilder& build);
    // Handles "&About"; false for any other control.
    bool OnCommand(ControlId id, int notification);
    void ShowCopyright() const;
    void OnAbout();

  private:
    HWND window_ = nullptr; // the About box's owner
    HWND copyrightLabel_ = nullptr;
};

} // namespace tervane
