#pragma once
// The program's pictures as GdkPixbufs, their mask colours made transparent.
#include "notify/Balloon.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

namespace tervane {

// The 16 x 16 image of a language table row (a new reference; nullptr outside the table).
GdkPixbuf* FlagImage(int position);
// The balloon's picture, its bottom left pixel's colour transparent (a new reference).
GdkPixbuf* BalloonPicture(BalloonType type);
// The compact-mode glyph, magenta transparent (a new reference).
GdkPixbuf* CompactGlyph();
// The program's icon at `size` pixels (a new reference).
GdkPixbuf* ProgramIcon(int size);

} // namespace tervane
