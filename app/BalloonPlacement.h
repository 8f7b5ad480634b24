#pragma once
// Where the translation flow points the balloon: at the cursor when it is well away from
// the screen's centre, the body then lying towards the centre; else at the centre.
#include "notify/Balloon.h"

struct BalloonPlacement {
    int x;
    int y;
    BalloonPosition position;

    bool operator==(const BalloonPlacement&) const = default;
};

// `screenWidth` x `screenHeight` is the primary screen, (cursorX, cursorY) the cursor. A
// cursor more than 200 pixels from the centre both ways gets the balloon pointing at it;
// otherwise the balloon points at the centre and keeps `previous` as its position.
BalloonPlacement PlaceBalloon(int screenWidth, int screenHeight, int cursorX, int cursorY,
                              BalloonPosition previous);
