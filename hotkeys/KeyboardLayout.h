#pragma once
// What the hotkey codec needs of the keyboard-layout service: scan codes, key names,
// the installed layouts, switching the thread's layout, and comparing texts the way the
// user's locale does. Implemented over Win32 (KeyboardLayout_win.h) and, for the native
// tests, by an in-memory double. Texts are UTF-8.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tervane {

// A keyboard layout handle (a Windows HKL), opaque to the portable code.
using LayoutHandle = std::uintptr_t;

class KeyboardLayout {
  public:
    virtual ~KeyboardLayout() = default;

    // Scan code of a virtual-key code in the calling thread's current layout; 0 when the
    // layout has no key for it.
    virtual std::uint32_t ScanCode(std::uint32_t virtualKey) = 0;
    // Scan code of a virtual-key code in the given layout; 0 when it has no key for it.
    virtual std::uint32_t ScanCodeIn(std::uint32_t virtualKey, LayoutHandle layout) = 0;
    // Display name that the current layout gives the key with this scan code (0-255);
    // with `extended`, the name of the dedicated key that shares the scan code with a
    // numeric-pad key. Empty when the layout has no name for it.
    virtual std::string KeyName(std::uint32_t scanCode, bool extended) = 0;

    // The calling thread's current layout.
    virtual LayoutHandle Current() = 0;
    // Makes `layout` the calling thread's current layout; false when refused.
    virtual bool Activate(LayoutHandle layout) = 0;
    // The installed layouts, at most `limit` of them.
    virtual std::vector<LayoutHandle> Installed(std::size_t limit) = 0;
    // Loads the layout with this identifier (such as "00000409") without telling the
    // shell; 0 when it cannot be loaded.
    virtual LayoutHandle Load(const std::string& identifier) = 0;
    virtual bool Unload(LayoutHandle layout) = 0;

    // True when the texts are equal ignoring case, as the user's locale compares them.
    virtual bool EqualIgnoringCase(std::string_view a, std::string_view b) = 0;
};

} // namespace tervane
