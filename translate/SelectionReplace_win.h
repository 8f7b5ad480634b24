#pragma once
// Puts a translation in place of the selection a capture found, in the application it came
// from (ReplaceWays says how): the replace-selection message for an edit or rich-edit
// control, else the clipboard lent to a paste keystroke.
#include "translate/SelectionCapture_win.h"

#include <windows.h>

#include <string_view>

namespace tervane {

// Replaces the capture's selection with `text`. An edit or rich-edit control is sent
// EM_REPLACESEL (undoable; at most a second); a read-only one is refused with
// kReadOnlyTargetText. Elsewhere the clipboard offers `text` by delayed rendering, Ctrl+V is
// sent once the hotkey's keys are let go (within a second), and the user's clipboard (the
// capture's savedClipboard) is put back as soon as the application has taken the text, or
// after kPasteBoundMs when it never asks. Returns whether the application took the text
// (false: the paste was not sent, or not served within the bound, and nothing was replaced).
//
// Throws std::runtime_error: kReadOnlyTargetText; "The application did not take the text: no
// answer within a second"; the keystroke's failure; "Cannot open clipboard".
bool ReplaceSelectedText(CapturedSelection& capture, std::string_view text);

} // namespace tervane
