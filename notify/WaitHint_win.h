#pragma once
// The small "please wait" hint shown at the cursor while a translation is under way: a
// tooltip-style popup with a thin border, in the system's tooltip colours and font, on top
// of all windows, never taking the focus. It is shown when made and hidden and destroyed
// with the object, so a caller holds it in a scope for as long as the wait lasts.
#include "base/BaseWindow_win.h"
#include "base/GdiHandles_win.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace tervane {

class WaitHint : public BaseWindow<WaitHint> {
  public:
    // Shows `text` (UTF-8) with its top left corner at `at` (screen pixels), the window
    // 10 pixels wider and 4 higher than the text, moved left and up to fit the monitor
    // nearest that corner; painted before this returns, since the caller then keeps the
    // thread busy. `owner` may be nullptr. Throws when the window cannot be made.
    WaitHint(POINT at, std::string_view text, HWND owner = nullptr);
    ~WaitHint();
    WaitHint(const WaitHint&) = delete;
    WaitHint& operator=(const WaitHint&) = delete;

    static constexpr wchar_t kClassName[] = L"TervaneWaitHint";

  private:
    friend class BaseWindow<WaitHint>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Paint();

    std::wstring text_;
    UniqueFont font_;
};

} // namespace tervane
