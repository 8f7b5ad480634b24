#pragma once
// The keyboard-layout service over the Win32 wide functions, for the calling thread.
#include "hotkeys/KeyboardLayout.h"

namespace tervane {

class WinKeyboardLayout final : public KeyboardLayout {
  public:
    std::uint32_t ScanCode(std::uint32_t virtualKey) override;
    std::uint32_t ScanCodeIn(std::uint32_t virtualKey, LayoutHandle layout) override;
    std::string KeyName(std::uint32_t scanCode, bool extended) override;
    LayoutHandle Current() override;
    bool Activate(LayoutHandle layout) override;
    std::vector<LayoutHandle> Installed(std::size_t limit) override;
    LayoutHandle Load(const std::string& identifier) override;
    bool Unload(LayoutHandle layout) override;
    bool EqualIgnoringCase(std::string_view a, std::string_view b) override;
};

// The one instance the program uses; it holds no state of its own.
WinKeyboardLayout& SystemKeyboardLayout();

} // namespace tervane
