#pragma once
// What the user had on the clipboard before a capture emptied it, kept so that it can be
// put back at the end of the translation.
//
// Every format whose data can be copied is kept: the memory-block formats (text in all its
// forms, CF_DIB and CF_DIBV5, CF_HDROP, CF_LOCALE, registered formats such as "HTML
// Format" or "Rich Text Format", ...) and enhanced metafiles. Skipped, because their data is
// a handle that the clipboard destroys when it is emptied and that cannot be copied
// byte for byte: CF_BITMAP and CF_PALETTE (the system makes the bitmap again from the kept
// CF_DIB), CF_METAFILEPICT (made again from the kept enhanced metafile), the display
// formats CF_OWNERDISPLAY, CF_DSPBITMAP, CF_DSPMETAFILEPICT, CF_DSPENHMETAFILE, and the
// private and GDI-object ranges, whose meaning only their owner knows.
#include <windows.h>

#include <cstddef>
#include <vector>

namespace tervane {

class ClipboardSnapshot {
  public:
    // Holds nothing and restores nothing.
    ClipboardSnapshot() = default;
    // Copies the contents of the open clipboard; `opener` is the window that will open it
    // again to put them back.
    static ClipboardSnapshot TakeFromOpenClipboard(HWND opener);

    ClipboardSnapshot(ClipboardSnapshot&& other) noexcept;
    ClipboardSnapshot& operator=(ClipboardSnapshot&& other) noexcept;
    ClipboardSnapshot(const ClipboardSnapshot&) = delete;
    ClipboardSnapshot& operator=(const ClipboardSnapshot&) = delete;

    // Still to be put back: restores, quietly, if neither Restore nor Discard came first, so
    // that a flow ending early or by an error leaves the user's clipboard as it found it.
    ~ClipboardSnapshot();

    // Puts the kept contents back in place of whatever is on the clipboard now (an empty
    // clipboard when it was empty). Once only. Throws std::runtime_error("Cannot open
    // clipboard") when the clipboard stays taken.
    void Restore();
    // The clipboard keeps what is on it now (the translation was copied there).
    void Discard();

    bool Pending() const { return pending_; }
    std::size_t FormatCount() const { return entries_.size(); }

  private:
    struct Entry {
        UINT format;
        HANDLE data; // a memory block, or an enhanced metafile for CF_ENHMETAFILE
    };
    void PutBackOnOpenClipboard();
    void Free();

    std::vector<Entry> entries_;
    HWND opener_ = nullptr;
    bool pending_ = false;
};

} // namespace tervane
