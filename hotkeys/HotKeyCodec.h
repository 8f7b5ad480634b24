#pragma once
// A global hotkey as one 32-bit value and its text form ("Ctrl+Shift+F12").
//
// Value: bits 0-7 the virtual-key code of the main key, 0x2000 Shift, 0x4000 Ctrl,
// 0x8000 Alt, 0x10000 Win; 0 means no hotkey. Shift, Ctrl and Alt sit where the hotkey
// entry box puts them, so the box's 16-bit combination is a hotkey value as it is.
//
// The text form is the modifier names, always in the order Ctrl, Shift, Alt, Win, each
// followed by "+", then the key's name; no spaces are added. Key names come from the
// keyboard layout. The localised form (what every caller of this program uses) writes the
// modifier names that the layout current at module start gives; the English form writes
// "Ctrl", "Shift", "Alt", "Win" and takes key names from the US English layout.
#include "hotkeys/KeyboardLayout.h"

#include <cstdint>
#include <string>
#include <string_view>

// Modifier flags of the system's hotkey registration (the values of MOD_ALT, MOD_CONTROL,
// MOD_SHIFT and MOD_WIN).
inline constexpr std::uint16_t HotKeyModAlt = 1;
inline constexpr std::uint16_t HotKeyModControl = 2;
inline constexpr std::uint16_t HotKeyModShift = 4;
inline constexpr std::uint16_t HotKeyModWin = 8;

// Modifier bits of a hotkey value.
inline constexpr std::uint32_t HotKeyShift = 0x2000;
inline constexpr std::uint32_t HotKeyCtrl = 0x4000;
inline constexpr std::uint32_t HotKeyAlt = 0x8000;
inline constexpr std::uint32_t HotKeyWin = 0x10000;
inline constexpr std::uint32_t HotKeyKeyMask = 0xFF;

// Hotkey value of registration flags and a key code. Flags other than the four are
// ignored; all 16 bits of Key are added as they are.
std::uint32_t GetHotKey(std::uint16_t Modifiers, std::uint16_t Key);
// Registration flags and key code (bits 0-7) of a hotkey value.
void SeparateHotKey(std::uint32_t HotKey, std::uint16_t& Modifiers, std::uint16_t& Key);

// Text form of a hotkey value; empty for 0, the modifier prefix alone for a key without
// a name.
std::string HotKeyToText(std::uint32_t HotKey, bool Localized);
// Hotkey value of a text, 0 when the text is not a hotkey. Both the English and the
// localised modifier names are accepted, whatever `Localized` says; key names are looked
// up in the form that `Localized` selects.
std::uint32_t TextToHotKey(std::string_view Text, bool Localized);

// Module start: reads the localised modifier names from the current layout and loads the
// US English reference layout (kept until module end). Run once before any other use;
// `layout` must outlive the module. Module end unloads the reference layout when module
// start loaded it (it was not installed) and forgets the names and the layout service.
void HotKeyModuleStart(KeyboardLayout& layout);
void HotKeyModuleEnd();
