#pragma once
// The third way to the selection: UI Automation. Browsers, word processors and editors
// built on common frameworks give the selection of their focused element through its text
// pattern, without a keystroke and without the clipboard.
#include <string>

namespace tervane {

// The selected text of the element that has the keyboard focus, its ranges joined
// (JoinSelectedRanges); empty when the element has no text pattern or nothing selected.
// The automation object's connection and transaction time-outs bound every call (half a
// second each), so a hung application costs about a second. Needs COM on the calling thread.
// Throws std::runtime_error "<step>: <reason>" when a call fails or times out, or when the
// system has no automation object with time-outs ("CUIAutomation8: ...", nothing asked).
std::string ReadAutomationSelection();

} // namespace tervane
