#include "app/BalloonPlacement.h"

BalloonPlacement PlaceBalloon(int screenWidth, int screenHeight, int cursorX, int cursorY,
                              BalloonPosition previous) {
    const int cx = screenWidth / 2;
    const int cy = screenHeight / 2;
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
