#pragma once
// One balloon on the screen: a borderless popup in the tooltip colour, shaped as a rounded
// rectangle with an arrow whose tip lies on the target point, holding a picture, a bold
// title and the text. It stays on top of all windows without ever taking the focus, has no
// taskbar button and no owner (so it stays when the main window is hidden), and closes when
// it is clicked or when its time runs out.
#include "base/BaseWindow_win.h"
#include "base/GdiHandles_win.h"
#include "notify/BalloonGeometry.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

namespace tervane {

class BalloonWindow : public BaseWindow<BalloonWindow> {
  public:
    // Lays out, shapes, places and shows a new balloon and returns at once. The balloon
    // owns itself: it frees itself when it closes. The handle returned lets a caller watch
    // it, and is invalid once the balloon has closed. Throws when the balloon's picture,
    // fonts or window cannot be made.
    static HWND Open(const BalloonContent& content);

    // The window class of every balloon, by which other programs may find them.
    static constexpr wchar_t kClassName[] = L"TervaneBalloon";

    BalloonWindow(const BalloonWindow&) = delete;
    BalloonWindow& operator=(const BalloonWindow&) = delete;

  private:
    friend class BaseWindow<BalloonWindow>;
    explicit BalloonWindow(const BalloonContent& content);
    ~BalloonWindow();

    // Loads the picture and the fonts, and measures and lays out the labels.
    void Prepare(const BalloonContent& content);
    void Create();
    void Shape();
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Paint();
    void StayOnTop();
    // Ends the balloon once the message being handled is finished, so a handler of its own
    // may close it.
    void Close();

    bool ownsItself_ = false; // from the moment its window is made until it is destroyed
    std::wstring title_;
    std::wstring text_;
    std::wstring dictionary_;
    std::wstring windowText_;
    UniqueFont font_;
    UniqueFont boldFont_;
    UniqueImageList picture_;
    BalloonGeometry geometry_;
    BalloonSize titleSize_;
    BalloonSize textSize_;
    BalloonSize dictionarySize_;
    std::uint32_t closeDelay_ = 0;
};

} // namespace tervane
