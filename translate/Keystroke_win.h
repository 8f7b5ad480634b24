#pragma once
// Keystrokes sent to the application in front on the user's behalf (the copy keystroke of a
// capture, the paste keystroke of a replacement), and the waits around them.
#include <windows.h>

#include <functional>

namespace tervane {

// Polls `done` every few milliseconds for at most `boundMs`; whether it held. Messages sent
// to this thread's windows are answered meanwhile (an application's EmptyClipboard sends
// WM_DESTROYCLIPBOARD to the clipboard's owner, its GetClipboardData WM_RENDERFORMAT), posted
// ones (a next hotkey press) stay queued.
bool WaitAnsweringSentMessages(const std::function<bool()>& done, DWORD boundMs);

// Waits until the user has let go of Shift, Ctrl, Alt and the Windows keys, until `boundMs`
// after `since` (GetTickCount64) at most: a keystroke sent while Shift or Alt is held
// reaches the application as another command. Whether they were let go in time.
bool WaitForModifiersLetGo(ULONGLONG since, DWORD boundMs);

// Sends Ctrl with `key` (`extended`: an extended key such as Insert) to the application in
// front. Throws std::runtime_error("Cannot send the <what> keystroke: <reason>").
void SendCtrlKeystroke(WORD key, bool extended, const char* what);

} // namespace tervane
