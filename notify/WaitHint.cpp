#include "notify/WaitHint.h"

namespace tervane {

namespace {
constexpr int kExtraWidth = 10; // room for the frame and the text's left inset
constexpr int kExtraHeight = 4; // room for the frame and the text's top inset
} // namespace

WaitHintRect PlaceWaitHint(int x, int y, int textWidth, int textHeight, WaitHintRect monitor,
                           int dpi) {
    WaitHintRect r{x, y, x + textWidth + ScaleToDpi(kExtraWidth, dpi),
                   y + textHeight + ScaleToDpi(kExtraHeight, dpi)};
    if (r.right > monitor.right) {
        r.left -= r.right - monitor.right;
        r.right = monitor.right;
    }
    if (r.bottom > monitor.bottom) {
        r.top -= r.bottom - monitor.bottom;
        r.bottom = monitor.bottom;
    }
    return r;
}

} // namespace tervane
