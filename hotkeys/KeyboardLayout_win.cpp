#include "hotkeys/KeyboardLayout_win.h"

#include "base/WideText_win.h"

#include <windows.h>

namespace tervane {

namespace {

HKL ToHkl(LayoutHandle layout) {
    return reinterpret_cast<HKL>(layout);
}
LayoutHandle FromHkl(HKL layout) {
    return reinterpret_cast<LayoutHandle>(layout);
}

} // namespace

std::uint32_t WinKeyboardLayout::ScanCode(std::uint32_t virtualKey) {
    return MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
}

std::uint32_t WinKeyboardLayout::ScanCodeIn(std::uint32_t virtualKey, LayoutHandle layout) {
    return MapVirtualKeyExW(virtualKey, MAPVK_VK_TO_VSC, ToHkl(layout));
}

std::string WinKeyboardLayout::KeyName(std::uint32_t scanCode, bool extended) {
    // The request is laid out as a key message's lParam: scan code in bits 16-23, the
    // extended-key flag in bit 24.
    const LONG request = static_cast<LONG>(((scanCode & 0xFF) << 16) | (extended ? 1u << 24 : 0u));
    wchar_t name[256];
    const int length = GetKeyNameTextW(request, name, 256);
    if (length <= 0)
        return {};
    return Narrow(std::wstring_view(name, static_cast<std::size_t>(length)));
}

LayoutHandle WinKeyboardLayout::Current() {
    return FromHkl(GetKeyboardLayout(0));
}

bool WinKeyboardLayout::Activate(LayoutHandle layout) {
    return ActivateKeyboardLayout(ToHkl(layout), 0) != nullptr;
}

std::vector<LayoutHandle> WinKeyboardLayout::Installed(std::size_t limit) {
    // With room for none, GetKeyboardLayoutList would only count them.
    if (limit == 0)
        return {};
    std::vector<HKL> layouts(limit);
    const int count = GetKeyboardLayoutList(static_cast<int>(limit), layouts.data());
    std::vector<LayoutHandle> handles;
    for (int i = 0; i < count; ++i)
        handles.push_back(FromHkl(layouts[static_cast<std::size_t>(i)]));
    return handles;
}

LayoutHandle WinKeyboardLayout::Load(const std::string& identifier) {
    return FromHkl(LoadKeyboardLayoutW(Widen(identifier).c_str(), KLF_NOTELLSHELL));
}

bool WinKeyboardLayout::Unload(LayoutHandle layout) {
    return UnloadKeyboardLayout(ToHkl(layout)) != FALSE;
}

bool WinKeyboardLayout::EqualIgnoringCase(std::string_view a, std::string_view b) {
    const std::wstring wa = Widen(a);
    const std::wstring wb = Widen(b);
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.data(),
                          static_cast<int>(wa.size()), wb.data(),
                          static_cast<int>(wb.size())) == CSTR_EQUAL;
}

WinKeyboardLayout& SystemKeyboardLayout() {
    static WinKeyboardLayout layout;
    return layout;
}

} // namespace tervane
