#pragma once
// Fetches the text selected in the foreground application without simulating a keystroke:
// this thread's input is joined to the foreground thread's, the window that has the focus
// there is sent the copy command (WM_COPY) and the clipboard's text is read. When that
// gives nothing, the selection of an Internet Explorer window is read through its
// automation objects.
#include "translate/ClipboardSnapshot_win.h"

#include <windows.h>

#include <cstdint>
#include <string>

struct CapturedSelection {
    // The input of the foreground thread was joined to this thread's; the caller undoes it
    // (DetachInput) when its flow ends.
    bool attached = false;
    std::uint32_t foregroundThread = 0;
    // The text the copy command left on the clipboard (UTF-8), empty when there was none.
    std::string clipboardText;
    // The text to translate: the clipboard text or, when that is empty, the browser's
    // selection; empty when nothing was found.
    std::string capturedText;
    // What was on the clipboard before the capture emptied it. It is put back when this
    // goes out of scope, unless the caller restored (Restore) or dropped (Discard) it first.
    ClipboardSnapshot savedClipboard;
};

// Captures the selection, in this order: the clipboard is saved and emptied (`opener`, the
// program's hidden application window, opens it); the foreground thread's input is
// attached; the focused window is sent WM_COPY; the clipboard text is read; when empty, the
// browser's selection is read. No attachment (the program's own thread, or no foreground
// window) or no focused window gives empty texts, and is not an error.
//
// Throws std::runtime_error: "Cannot open clipboard" when another program keeps it open, or
// the browser objects' failure. When it throws, it has undone its attachment and put the
// clipboard's contents back.
CapturedSelection CaptureSelectedText(HWND opener = nullptr);

// Undoes the input attachment of a capture that made one.
void DetachInput(const CapturedSelection& capture);
