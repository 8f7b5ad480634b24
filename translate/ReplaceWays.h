#pragma once
// How a translation takes the place of the selection it was made from. A control that
// answers the replace-selection message (a classic edit or rich-edit control) is given the
// text directly, unless it is read-only; anything else gets the text as the clipboard's and
// a paste keystroke, after which the user's clipboard goes back: as soon as the application
// has taken the text, or after a bounded wait when it never asks for it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tervane {

enum class ReplaceWay { EditMessage, PasteKeystroke };

// Said when the selection's control takes no text; nothing is replaced.
inline constexpr const char* kReadOnlyTargetText =
    "The selected text is read-only: nothing was replaced.";

// Said when the application never took a paste within the bound; nothing is replaced.
inline constexpr const char* kPasteNotTakenText =
    "The application did not take the translation: nothing was replaced.";

// How long the user's clipboard is lent to the paste, in milliseconds, when the application
// never asks for the text (it ignores the keystroke, or pastes nothing).
inline constexpr std::uint64_t kPasteBoundMs = 1500;

// How long an application that read a paste through a pipe (Wayland) keeps the clipboard
// after the last byte was written, in milliseconds: it may still be reading what the pipe
// holds, and GTK drops a read when the clipboard changes under it.
inline constexpr std::uint64_t kPipedPasteReadMs = 300;

// How long the hotkey's modifiers stay let go before the paste keystroke goes out on X11: an
// application that has just had the keyboard back from the hotkey's grab does not take a
// keystroke sent at once as typed (a GTK entry ignored it).
inline constexpr std::uint64_t kKeysSettledMs = 400;

// Why a Wayland session cannot replace, as the hotkey panel says it; "" when it can. A
// client there can neither send another application a keystroke nor take the clipboard
// without the focus: it takes the compositor's virtual keyboard to send the paste and wlr
// data-control to lend the clipboard (and read every type the user had on it first).
std::string WaylandReplaceUnavailable(bool clipboardControl, bool virtualKeyboard);

// The way for the focused control of this window class (the system's name, any case).
// Throws std::runtime_error(kReadOnlyTargetText) for a read-only edit or rich-edit control.
ReplaceWay ChooseReplaceWay(std::string_view windowClass, bool readOnly);

// Whether the paste is over and the clipboard can go back: the application has taken the
// text, or `elapsedMs` since the keystroke reached the bound.
bool PasteOver(bool taken, std::uint64_t elapsedMs);

// The same for a paste served through a pipe: once the text was all written
// (`writtenForMs` since then, or nothing when it was not), kPipedPasteReadMs more, whatever the
// bound; else the bound since the keystroke.
bool PipedPasteOver(std::optional<std::uint64_t> writtenForMs, std::uint64_t elapsedMs);

} // namespace tervane
