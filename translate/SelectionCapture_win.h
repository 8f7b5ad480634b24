#pragma once
// Fetches the text selected in the foreground application. Applications answer in different
// ways, so four are asked in order (CaptureWays) until one finds a text: the copy command
// (WM_COPY) to the focused window, which standard edit and rich-edit controls answer;
// Internet Explorer's document, where such a window exists; UI Automation's text pattern,
// which current browsers, word processors and editors answer without a keystroke; and last
// the copy keystroke (Ctrl+Insert). Every wait is bounded: a hung application costs about
// three seconds at worst and never freezes the program.
#include "translate/CaptureWays.h"
#include "translate/ClipboardSnapshot_win.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace tervane {

struct CapturedSelection {
    // The input of the foreground thread was joined to this thread's; the caller undoes it
    // (DetachInput) when its flow ends.
    bool attached = false;
    std::uint32_t foregroundThread = 0;
    // The control that had the keyboard focus there: where a replacement goes.
    HWND focus = nullptr;
    // The text the copy command or the copy keystroke left on the clipboard (UTF-8), empty
    // when the text came another way or there was none.
    std::string clipboardText;
    // The text to translate; empty when no way found one.
    std::string capturedText;
    // The way that found it (CaptureWay::None when none did), for traces and benchmarks.
    CaptureWay way = CaptureWay::None;
    // What was on the clipboard before the capture emptied it. It is put back when this
    // goes out of scope, unless the caller restored (Restore) or dropped (Discard) it first.
    ClipboardSnapshot savedClipboard;
};

// Captures the selection: the clipboard is saved and emptied (`opener`, the program's
// hidden application window, opens it); the foreground thread's input is attached; then the
// ways are asked in order: WM_COPY to the focused window (at most a second; no answer counts
// as nothing copied), the browser's selection, UI Automation (about a second at most), the
// copy keystroke (the hotkey's keys let go within a second of the start, then half a second
// for the copy). A way that fails falls through to the next. No attachment (the program's own
// thread, or no foreground window) or no focused window gives empty texts and asks no way, and is
// not an error. Which way answered, how long it took and the failures on the way go to the
// debugger's output (OutputDebugString).
//
// Throws std::runtime_error: "Cannot open clipboard" when another program keeps it open, or
// the keystroke's failure (CopyByKeystroke). When it throws, it has undone its attachment and
// put the clipboard's contents back.
CapturedSelection CaptureSelectedText(HWND opener = nullptr);

// Undoes the input attachment of a capture that made one.
void DetachInput(const CapturedSelection& capture);

} // namespace tervane
