#pragma once
// Where the translation flow points the balloon: at the cursor when it is well away from
// the centre of the cursor's monitor, the body then lying towards the centre; else at the
// centre.
#include "notify/Balloon.h"
#include "notify/BalloonGeometry.h"

namespace tervane {

struct BalloonPlacement {
    int x;
    int y;
    BalloonPosition position;
    bool operator==(const BalloonPlacement&) const = default;
};

// `monitor` is the monitor under the cursor (on one monitor: the screen from (0, 0)). A
// cursor more than 200 pixels from its centre both ways gets the balloon pointing at it;
// otherwise the balloon points at the centre and keeps `previous` as its position.
BalloonPlacement PlaceBalloon(BalloonRect monitor, BalloonPoint cursor, BalloonPosition previous);

} // namespace tervane
