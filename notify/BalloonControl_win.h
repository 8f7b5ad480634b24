#pragma once
// The balloon settings of a window, and the show that opens a new balloon from them. The
// main window holds one for the whole run; its settings persist from show to show. Each
// show opens a new, independent balloon window and forgets it: the balloon lives on by
// itself until it is clicked or its time runs out, and several may be on screen at once.
#include "notify/Balloon.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace tervane {

class BalloonControl {
  public:
    // The body text, one entry per line (UTF-8). Setting it keeps a copy of the lines.
    const std::vector<std::string>& Text() const { return text_; }
    void SetText(std::vector<std::string> lines) { text_ = std::move(lines); }
    // A word's dictionary entries under the text, one entry per line (UTF-8); none: none.
    const std::vector<std::string>& Dictionary() const { return dictionary_; }
    void SetDictionary(std::vector<std::string> lines) { dictionary_ = std::move(lines); }
    // The bold heading (UTF-8).
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }
    // Seconds after which a balloon closes by itself; 0 means never.
    int Duration() const { return duration_; }
    void SetDuration(int seconds) { duration_ = seconds; }
    // Where the body lies as seen from the target point.
    BalloonPosition Position() const { return position_; }
    void SetPosition(BalloonPosition position) { position_ = position; }
    // The target point, screen pixels.
    int PixelCoordinateX() const { return x_; }
    void SetPixelCoordinateX(int x) { x_ = x; }
    int PixelCoordinateY() const { return y_; }
    void SetPixelCoordinateY(int y) { y_ = y; }
    // Chooses the picture.
    BalloonType Type() const { return type_; }
    void SetType(BalloonType type) { type_ = type; }
    // Kept with the settings; a balloon does not use them.
    BalloonHorizontal Horizontal() const { return horizontal_; }
    void SetHorizontal(BalloonHorizontal horizontal) { horizontal_ = horizontal; }
    BalloonVertical Vertical() const { return vertical_; }
    void SetVertical(BalloonVertical vertical) { vertical_ = vertical; }
    HWND Control() const { return control_; }
    void SetControl(HWND control) { control_ = control; }

    // What a balloon opened now would show: the lines joined and trimmed (JoinBalloonText).
    BalloonContent Content() const;
    // Opens a new balloon with the current settings and returns at once. The handle lets
    // a caller watch the balloon and is invalid once it has closed; this control keeps
    // none. Throws when the balloon cannot be made.
    HWND ShowBalloon() const;

  private:
    std::vector<std::string> text_;
    std::vector<std::string> dictionary_;
    std::string title_;
    int duration_ = 0;
    BalloonHorizontal horizontal_ = BalloonHorizontal::Left;
    BalloonVertical vertical_ = BalloonVertical::Top;
    BalloonPosition position_ = BalloonPosition::ArrowTopLeft;
    HWND control_ = nullptr;
    int x_ = 0;
    int y_ = 0;
    BalloonType type_ = BalloonType::Info;
};

} // namespace tervane
