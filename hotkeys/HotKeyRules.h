#pragma once
// Which hotkeys the program accepts. A hotkey is registered for the whole desktop, so one
// without Ctrl, Alt or Win on a key that types would take that key from every program: the
// letter, digit or space could no longer be typed anywhere while Tervane runs.
#include <cstdint>
#include <string>

namespace tervane {

// Whether `hotKey` (a hotkey value, hotkeys/HotKeyCodec.h) would take a typing key: it has
// none of Ctrl, Alt and Win, and its key types a character when pressed alone or with
// Shift alone (letters, digits, punctuation, the numeric pad's digits and signs, Space) or
// edits text (Enter, Tab, Backspace). Function keys and the other keys that type nothing
// are never typing keys, with or without Shift.
bool TakesTypingKey(std::uint32_t hotKey);

// The warning shown instead of registering such a hotkey; `text` is its text form.
std::string TypingKeyWarning(const std::string& text);

} // namespace tervane
