#pragma once
// The About box: the program's icon, its name with a silver shadow, its version and the
// copyright notice, and an OK button. Modal over its owner; one fresh box per showing.
#include "app/PanelBuilder_win.h"
#include "app/ProgramIcon_win.h"
#include "base/BaseWindow_win.h"
#include "base/Dpi.h"
#include "base/GdiHandles_win.h"

namespace tervane {

class AboutBox : public BaseWindow<AboutBox> {
  public:
    AboutBox() = default;
    AboutBox(const AboutBox&) = delete;
    AboutBox& operator=(const AboutBox&) = delete;
    ~AboutBox();

    // Shows the box centred over `owner`, which is disabled until the box is closed (by
    // OK, Enter, Esc or the close box); returns when it is closed and destroyed.
    void ShowModal(HWND owner);

  private:
    friend class BaseWindow<AboutBox>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Create(HWND owner);
    void LayOut();
    void OnDpiChanged(int dpi, const RECT& suggested);
    void PaintTitle(HDC dc);

    UniqueFont font_;
    UniqueFont titleFont_;
    UniqueIcon icon_;
    WindowIcons icons_;
    HWND image_ = nullptr;
    int dpi_ = kDesignDpi;
    // The children with their places at 96 DPI.
    PanelLayout layout_;
    bool closed_ = false;
};

} // namespace tervane
