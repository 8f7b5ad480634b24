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
// modifier names that the layout current when the codec was made gives; the English form writes
// "Ctrl", "Shift", "Alt", "Win" and takes key names from the US English layout.
#include "hotkeys/KeyboardLayout.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tervane {

// Modifier flags of the system's hotkey registration (the values of MOD_ALT, MOD_CONTROL,
// MOD_SHIFT and MOD_WIN).
inline constexpr std::uint16_t kHotKeyModAlt = 1;
inline constexpr std::uint16_t kHotKeyModControl = 2;
inline constexpr std::uint16_t kHotKeyModShift = 4;
inline constexpr std::uint16_t kHotKeyModWin = 8;

// Modifier bits of a hotkey value.
inline constexpr std::uint32_t kHotKeyShift = 0x2000;
inline constexpr std::uint32_t kHotKeyCtrl = 0x4000;
inline constexpr std::uint32_t kHotKeyAlt = 0x8000;
inline constexpr std::uint32_t kHotKeyWin = 0x10000;
inline constexpr std::uint32_t kHotKeyKeyMask = 0xFF;

// Hotkey value of registration flags and a key code. Flags other than the four are
// ignored; all 16 bits of `key` are added as they are.
std::uint32_t GetHotKey(std::uint16_t modifiers, std::uint16_t key);
// Registration flags and key code (bits 0-7) of a hotkey value.
void SeparateHotKey(std::uint32_t hotKey, std::uint16_t& modifiers, std::uint16_t& key);

// Converts hotkey values to their text form and back, over a keyboard-layout service.
// Construction reads the localised modifier names from the current layout and loads the
// US English reference layout, kept until destruction (which unloads it when this codec
// loaded it, that is when it was not installed). The program makes one at start.
class HotKeyCodec {
  public:
    // `layout` must outlive the codec.
    explicit HotKeyCodec(KeyboardLayout& layout);
    ~HotKeyCodec();
    HotKeyCodec(const HotKeyCodec&) = delete;
    HotKeyCodec& operator=(const HotKeyCodec&) = delete;

    // Text form of a hotkey value; empty for 0, the modifier prefix alone for a key
    // without a name.
    std::string ToText(std::uint32_t hotKey, bool localized) const;
    // Hotkey value of a text, 0 when the text is not a hotkey. Both the English and the
    // localised modifier names are accepted, whatever `localized` says; key names are
    // looked up in the form that `localized` selects.
    std::uint32_t FromText(std::string_view text, bool localized) const;

  private:
    std::string KeyName(std::uint32_t key, bool localized) const;
    std::uint16_t FindKey(std::string_view name, bool localized) const;
    std::uint16_t KeyOf(std::string_view lastItem, bool localized) const;
    std::uint16_t ModifierOf(std::string_view item) const;
    bool IsModifierWord(std::string_view item) const;
    bool SameIgnoringCase(std::string_view a, std::string_view b) const;

    KeyboardLayout& layout_;
    std::string shiftName_ = "Shift";
    std::string ctrlName_ = "Ctrl";
    std::string altName_ = "Alt";
    std::string winName_ = "Win";
    LayoutHandle reference_ = 0;
    bool loadedHere_ = false;
};

} // namespace tervane
