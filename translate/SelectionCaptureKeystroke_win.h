#pragma once
// The last way to the selection: the copy keystroke, for applications that answer neither
// the copy command nor UI Automation (a browser's page view, many editors and terminals).
// Ctrl+Insert copies in browsers, word processors, code editors and terminals and, unlike
// Ctrl+C, never interrupts a console program.
#include <windows.h>

#include <string>

namespace tervane {

// Waits until the user has let go of Shift, Ctrl, Alt and the Windows keys (a keystroke sent
// while Shift or Alt is held reaches the application as another command), until a second
// after `pressedAt` (GetTickCount64 when the capture began) at most, so that the earlier
// ways' waits count towards it; sends Ctrl+Insert to the foreground application, waits for the
// clipboard's sequence number to move (at most half a second) and reads its text (`opener` opens
// the clipboard). Empty when the keys stay held or the clipboard does not change: nothing is
// selected, or the application does not copy on the keystroke.
//
// Throws std::runtime_error when the keystroke cannot be sent ("Cannot send the copy
// keystroke: <reason>") or the clipboard changed but stays taken ("Cannot open clipboard").
std::string CopyByKeystroke(HWND opener, ULONGLONG pressedAt);

} // namespace tervane
