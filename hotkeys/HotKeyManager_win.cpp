#include "hotkeys/HotKeyManager_win.h"

#include "hotkeys/KeyboardLayout_win.h"

#include <stdexcept>
#include <string>

namespace tervane {

namespace {

constexpr wchar_t kManagerClass[] = L"TervaneHotKeyManager";
constexpr wchar_t kAtomPrefix[] = L"HotKeyManagerHotKey";

} // namespace

HotKeyManager::HotKeyManager() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterClassOnce(instance, {kManagerClass});
    // Message-only windows receive posted messages, WM_HOTKEY among them, and are never
    // shown. WM_NCCREATE stores the handle before CreateWindowExW returns.
    if (!CreateWindowExW(0, kManagerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                         this))
        throw std::runtime_error("Cannot create the hotkey manager's window");
}

HotKeyManager::~HotKeyManager() {
    ClearHotKeys();
    if (hwnd_)
        DestroyWindow(hwnd_);
}

std::uint16_t HotKeyManager::AddHotKey(std::uint32_t hotKey) {
    std::uint16_t modifiers = 0, key = 0;
    SeparateHotKey(hotKey, modifiers, key);
    const std::wstring atomName = kAtomPrefix + std::to_wstring(hotKey);
    // A full atom table leaves no identifier to register under: the registration is refused.
    const ATOM atom = GlobalAddAtomW(atomName.c_str());
    if (atom == 0)
        return 0;
    if (!RegisterHotKey(hwnd_, atom, modifiers, key)) {
        GlobalDeleteAtom(atom);
        return 0;
    }
    registrations_.push_back({hotKey, atom});
    return atom;
}

bool HotKeyManager::Release(const HotKeyRegistration& registration) {
    const bool released = UnregisterHotKey(hwnd_, registration.keyIndex) != FALSE;
    GlobalDeleteAtom(registration.keyIndex);
    return released;
}

bool HotKeyManager::RemoveHotKey(std::uint32_t hotKey) {
    for (auto it = registrations_.begin(); it != registrations_.end(); ++it) {
        if (it->hotKey != hotKey)
            continue;
        const bool released = Release(*it);
        registrations_.erase(it);
        return released;
    }
    return false;
}

void HotKeyManager::ClearHotKeys() {
    while (!registrations_.empty()) {
        Release(registrations_.back());
        registrations_.pop_back();
    }
}

LRESULT HotKeyManager::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_HOTKEY && onHotKeyPressed) {
        // lParam: registration flags in the low word, key code in the high word.
        const std::uint32_t flags = LOWORD(lp);
        std::uint32_t value = HIWORD(lp);
        if (flags & kHotKeyModShift)
            value += kHotKeyShift;
        if (flags & kHotKeyModControl)
            value += kHotKeyCtrl;
        if (flags & kHotKeyModAlt)
            value += kHotKeyAlt;
        if (flags & kHotKeyModWin)
            value += kHotKeyWin;
        // Only hotkeys of this manager raise the event, not others registered for its window.
        for (const HotKeyRegistration& registration : registrations_) {
            if (registration.hotKey != value)
                continue;
            // A copy, so that the handler may reassign the event.
            const HotKeyPressHandler handler = onHotKeyPressed;
            handler(value, LOWORD(wp));
            break;
        }
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

HotKeyModule::HotKeyModule() : codec_(SystemKeyboardLayout()) {}

} // namespace tervane
