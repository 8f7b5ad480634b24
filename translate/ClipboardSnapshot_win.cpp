#include "translate/ClipboardSnapshot_win.h"

#include "translate/Clipboard_win.h"

#include <cstring>
#include <utility>

namespace tervane {

namespace {

bool IsMemoryBlockFormat(UINT format) {
    switch (format) {
    case CF_BITMAP:
    case CF_METAFILEPICT:
    case CF_PALETTE:
    case CF_ENHMETAFILE:
    case CF_OWNERDISPLAY:
    case CF_DSPBITMAP:
    case CF_DSPMETAFILEPICT:
    case CF_DSPENHMETAFILE:
        return false;
    default:
        return !(format >= CF_PRIVATEFIRST && format <= CF_GDIOBJLAST);
    }
}

HANDLE CopyMemoryBlock(HANDLE source) {
    const SIZE_T size = GlobalSize(source);
    if (size == 0)
        return nullptr;
    const void* from = GlobalLock(source);
    if (!from)
        return nullptr;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (void* to = copy ? GlobalLock(copy) : nullptr) {
        std::memcpy(to, from, size);
        GlobalUnlock(copy);
    } else if (copy) {
        GlobalFree(copy);
        copy = nullptr;
    }
    GlobalUnlock(source);
    return copy;
}

void FreeData(UINT format, HANDLE data) {
    if (format == CF_ENHMETAFILE)
        DeleteEnhMetaFile(static_cast<HENHMETAFILE>(data));
    else
        GlobalFree(data);
}

} // namespace

ClipboardSnapshot ClipboardSnapshot::TakeFromOpenClipboard(HWND opener) {
    ClipboardSnapshot snapshot;
    snapshot.opener_ = opener;
    snapshot.pending_ = true;
    for (UINT format = EnumClipboardFormats(0); format != 0;
         format = EnumClipboardFormats(format)) {
        const bool metafile = format == CF_ENHMETAFILE;
        if (!metafile && !IsMemoryBlockFormat(format))
            continue;
        HANDLE data = GetClipboardData(format);
        if (!data)
            continue;
        HANDLE copy = metafile ? CopyEnhMetaFileW(static_cast<HENHMETAFILE>(data), nullptr)
                               : CopyMemoryBlock(data);
        if (copy)
            snapshot.entries_.push_back({format, copy});
    }
    return snapshot;
}

ClipboardSnapshot::ClipboardSnapshot(ClipboardSnapshot&& other) noexcept
    : entries_(std::move(other.entries_)), opener_(other.opener_),
      pending_(std::exchange(other.pending_, false)) {
    other.entries_.clear();
}

ClipboardSnapshot& ClipboardSnapshot::operator=(ClipboardSnapshot&& other) noexcept {
    if (this != &other) {
        Free();
        entries_ = std::move(other.entries_);
        other.entries_.clear();
        opener_ = other.opener_;
        pending_ = std::exchange(other.pending_, false);
    }
    return *this;
}

ClipboardSnapshot::~ClipboardSnapshot() {
    if (pending_ && ClipboardSession::TryOpen(opener_)) {
        PutBackOnOpenClipboard();
        CloseClipboard();
    }
    Free();
}

void ClipboardSnapshot::Restore() {
    if (!pending_)
        return;
    ClipboardSession session(opener_);
    PutBackOnOpenClipboard();
}

void ClipboardSnapshot::Discard() {
    pending_ = false;
    Free();
}

void ClipboardSnapshot::PutBackOnOpenClipboard() {
    EmptyClipboard();
    for (const Entry& entry : entries_) {
        // The system owns what it accepts; what it refuses stays ours to free.
        if (!SetClipboardData(entry.format, entry.data))
            FreeData(entry.format, entry.data);
    }
    entries_.clear();
    pending_ = false;
}

void ClipboardSnapshot::Free() {
    for (const Entry& entry : entries_)
        FreeData(entry.format, entry.data);
    entries_.clear();
}

} // namespace tervane
