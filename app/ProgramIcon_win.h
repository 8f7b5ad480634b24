#pragma once
// The program's icon at the size a place asks for: the notification area, a window's caption
// and taskbar button, the About box. The icon files hold pictures drawn for each size from 16
// to 64 pixels, so no size is a blur of another.
#include "base/GdiHandles_win.h"

#include <windows.h>

namespace tervane {

// The program's icon `side` pixels square.
UniqueIcon LoadProgramIcon(HINSTANCE instance, int side);

// A window's own small (caption) and large (Alt+Tab) icons at the sizes the system gives them
// at a DPI; kept while the window shows them.
class WindowIcons {
  public:
    void ApplyTo(HWND window, int dpi);

  private:
    UniqueIcon small_;
    UniqueIcon large_;
};

} // namespace tervane
