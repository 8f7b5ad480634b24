#include "app/BalloonPlacement.h"

namespace tervane {

BalloonPlacement PlaceBalloon(BalloonRect monitor, BalloonPoint cursor, BalloonPosition previous) {
    const int cx = monitor.left + (monitor.right - monitor.left) / 2;
    const int cy = monitor.top + (monitor.bottom - monitor.top) / 2;
    const int cursorX = cursor.x;
    const int cursorY = cursor.y;
    const bool left = cx > cursorX + 200;  // the cursor is left of the centre
    const bool right = cx < cursorX - 200; // ... right of it
    const bool above = cy > cursorY + 200;
    const bool below = cy < cursorY - 200;
    // The body lies on the centre's side of the cursor, the arrow on the other.
    if (left && above)
        return {cursorX, cursorY, BalloonPosition::ArrowTopRight};
    if (right && above)
        return {cursorX, cursorY, BalloonPosition::ArrowTopLeft};
    if (left && below)
        return {cursorX, cursorY, BalloonPosition::ArrowBottomRight};
    if (right && below)
        return {cursorX, cursorY, BalloonPosition::ArrowBottomLeft};
    return {cx, cy, previous};
}

} // namespace tervane
