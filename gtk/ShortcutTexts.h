#pragma once
// A hotkey as the desktops that run shortcuts for applications write it: the
// GlobalShortcuts portal's trigger ("CTRL+SHIFT+F12", the XDG shortcuts notation), the
// portal's shortcut id, and the sway configuration line that runs the program's command.
// Standard C++ only.
#include <cstdint>
#include <optional>
#include <string>

namespace tervane {

// What a desktop shortcut runs to have the running program translate the selection.
inline constexpr const char* kTranslateSelectionCommand = "tervane --translate-selection";

// Empty when the hotkey's key has no keysym.
std::string PortalTriggerOf(std::uint32_t hotKey);
std::string SwayBindingOf(std::uint32_t hotKey);

// "hotkey-<value>", one id per hotkey of the list; nullopt for another id.
std::string ShortcutIdOf(std::uint32_t hotKey);
std::optional<std::uint32_t> HotKeyOfShortcutId(const std::string& id);

} // namespace tervane
