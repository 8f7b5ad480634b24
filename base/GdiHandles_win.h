#pragma once
// Owners of the system's drawing handles: fonts, brushes, bitmaps and regions (DeleteObject),
// image lists and icons, each released once when its owner goes. Moving hands the handle on;
// Release gives it up to whoever takes it over (a window that now owns a region).
#include <windows.h>

#include <commctrl.h>

#include <utility>

namespace tervane {

template <class Handle, auto Free> class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    Handle Release() { return std::exchange(handle_, nullptr); }
    void Reset(Handle handle = nullptr) {
        if (handle_)
            Free(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};

inline void DeleteGdiObject(HGDIOBJ object) {
    DeleteObject(object);
}
inline void DestroyImageList(HIMAGELIST list) {
    ImageList_Destroy(list);
}
inline void DestroyIconHandle(HICON icon) {
    DestroyIcon(icon);
}

using UniqueFont = UniqueHandle<HFONT, DeleteGdiObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteGdiObject>;
using UniqueRegion = UniqueHandle<HRGN, DeleteGdiObject>;
using UniqueImageList = UniqueHandle<HIMAGELIST, DestroyImageList>;
using UniqueIcon = UniqueHandle<HICON, DestroyIconHandle>;

} // namespace tervane
