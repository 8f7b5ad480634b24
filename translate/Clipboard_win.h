#pragma once
// The clipboard as the translation pipeline uses it: opened for a short while with a few
// retries, text read and written as CF_UNICODETEXT and kept as UTF-8 inside.
#include <windows.h>

#include <string>
#include <string_view>

namespace tervane {

// Holds the clipboard open, for `opener` (null: no owner window), for its lifetime. Another
// program may hold the clipboard open for a moment; opening is tried a few times, 10 ms
// apart, before giving up.
class ClipboardSession {
  public:
    // Throws std::runtime_error("Cannot open clipboard") when it stays taken.
    explicit ClipboardSession(HWND opener);
    ~ClipboardSession();
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;

    // Opens the clipboard as the constructor does, for a caller that closes it itself;
    // false instead of the error.
    static bool TryOpen(HWND opener);
};

// The clipboard's text (CF_UNICODETEXT, which the system also makes from 8-bit text) up to
// its terminating zero, or empty when there is none. The clipboard must be open.
std::string ClipboardTextOfOpenClipboard();

// Opens the clipboard, reads its text and closes it. Throws "Cannot open clipboard".
std::string ReadClipboardText(HWND opener = nullptr);

// A memory block holding `text` as CF_UNICODETEXT wants it (GMEM_MOVEABLE, zero-terminated
// UTF-16), for SetClipboardData, which owns it once it accepts it; nullptr without memory.
HGLOBAL UnicodeTextBlock(std::string_view text);

// Replaces the clipboard's contents with `text`. Nothing is reported when the copy does
// not happen (no memory, the clipboard stays taken); the result says whether it did.
bool CopyTextToClipboard(std::string_view text);

} // namespace tervane
