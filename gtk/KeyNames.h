#pragma once
// The desktop's names of the keys a hotkey can use, so that the hotkey codec
// (hotkeys/HotKeyCodec) works unchanged on Linux: a hotkey keeps its value (a Windows
// virtual-key code and the modifier bits), its text takes the key's accelerator label as
// GTK shows it ("Ctrl+Shift+F12", "Page Up", "KP +"), and its grab takes the X keysym
// name ("<Ctrl><Shift>F12"). Standard C++ only: no display is needed to name a key.
#include "hotkeys/KeyboardLayout.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tervane {

struct DesktopKey {
    std::uint16_t virtualKey;
    const char* keysym; // the X keysym name, as gdk_keyval_name gives it
    const char* label;  // the accelerator label, as gtk_accelerator_get_label shows it
};

// The row of a virtual-key code or of a keysym name; nullptr when the desktop has none.
const DesktopKey* DesktopKeyOf(std::uint16_t virtualKey);
const DesktopKey* DesktopKeyOfKeysym(std::string_view keysym);

// The keyboard-layout seam over the table: one layout, whose "scan code" of a key is its
// virtual-key code, key names are the labels, and the modifier keys are called "Ctrl",
// "Shift" and "Alt" as the desktop's accelerator labels call them.
class DesktopKeyboardLayout final : public KeyboardLayout {
  public:
    std::uint32_t ScanCode(std::uint32_t virtualKey) override;
    std::uint32_t ScanCodeIn(std::uint32_t virtualKey, LayoutHandle layout) override;
    std::string KeyName(std::uint32_t scanCode, bool extended) override;
    LayoutHandle Current() override { return kOnlyLayout; }
    bool Activate(LayoutHandle layout) override { return layout == kOnlyLayout; }
    std::vector<LayoutHandle> Installed(std::size_t limit) override;
    LayoutHandle Load(const std::string&) override { return kOnlyLayout; }
    bool Unload(LayoutHandle) override { return false; }
    bool EqualIgnoringCase(std::string_view a, std::string_view b) override;

  private:
    static constexpr LayoutHandle kOnlyLayout = 1;
};

// The keybinder accelerator of a hotkey value ("<Ctrl><Shift>F12"); empty when its key
// has no keysym.
std::string AcceleratorOf(std::uint32_t hotKey);

// The hotkey value that the key-entry field holds after a press of `keysym` with these
// modifiers, 0 when the key cannot be a hotkey. As on Windows, a key pressed alone or with
// Shift alone stands for the bare key, and the Win (Super) key is not taken.
std::uint32_t EntryHotKey(std::string_view keysym, bool ctrl, bool shift, bool alt);

} // namespace tervane
