#pragma once
// Whether the system would accept a registration of a hotkey value now, for tests that
// check what the program holds: false also for a value this process already holds.
#include "hotkeys/HotKeyCodec.h"

#include <windows.h>

#include <cstdint>

namespace tervane {

inline constexpr wchar_t kHotKeyProbeAtom[] = L"TervaneHotKeyProbe";

inline bool HotKeyAvailable(std::uint32_t hotKey) {
    const HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    const ATOM atom = GlobalAddAtomW(kHotKeyProbeAtom);
    bool accepted = false;
    if (window && atom) {
        std::uint16_t modifiers = 0, key = 0;
        SeparateHotKey(hotKey, modifiers, key);
        accepted = RegisterHotKey(window, atom, modifiers, key) != FALSE;
        if (accepted)
            UnregisterHotKey(window, atom);
    }
    if (atom)
        GlobalDeleteAtom(atom);
    if (window)
        DestroyWindow(window);
    return accepted;
}

} // namespace tervane
