#include "notify/BalloonControl_win.h"

#include "notify/BalloonWindow_win.h"

namespace tervane {

BalloonContent BalloonControl::Content() const {
    return {x_,        y_,
            position_, duration_,
            type_,     JoinBalloonText(text_),
            title_,    JoinBalloonText(dictionary_)};
}

HWND BalloonControl::ShowBalloon() const {
    return BalloonWindow::Open(Content());
}

} // namespace tervane
