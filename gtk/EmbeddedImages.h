#pragma once
// The program's images (app/res/), built into the executable by gtk/CMakeLists.txt so that
// it needs no data files: the flag strip, the balloon pictures, the compact-mode glyph and
// the icon.
#include <string_view>

namespace tervane {

// The bytes of an embedded file by its name ("flags.bmp"); empty when there is none.
std::string_view EmbeddedImage(std::string_view name);

} // namespace tervane
