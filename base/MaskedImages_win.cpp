#include "base/MaskedImages_win.h"

#include <stdexcept>

namespace tervane {

HIMAGELIST LoadMaskedImages(HINSTANCE instance, int resource, int width, int height) {
    HIMAGELIST list = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 0, 0);
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    const bool loaded = list && strip && ImageList_AddMasked(list, strip, RGB(255, 0, 255)) >= 0;
    if (strip)
        DeleteObject(strip);
    if (!loaded) {
        if (list)
            ImageList_Destroy(list);
        throw std::runtime_error("Cannot load the program's images");
    }
    return list;
}

} // namespace tervane
