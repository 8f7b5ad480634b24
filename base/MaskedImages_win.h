#pragma once
// Image strips of the program's resources whose magenta pixels are transparent.
#include <windows.h>
#include <commctrl.h>

namespace tervane {

// An image list of `width` x `height` images cut from bitmap `resource`; throws when the
// bitmap cannot be loaded.
HIMAGELIST LoadMaskedImages(HINSTANCE instance, int resource, int width, int height);

} // namespace tervane
