#include "hotkeys/HotKeyManager_win.h"

#include "hotkeys/HotKeyCodec.h"
#include "hotkeys/KeyboardLayout_win.h"

#include <stdexcept>
#include <string>

namespace {

constexpr wchar_t ManagerClassName[] = L"TervaneHotKeyManager";
constexpr wchar_t ApplicationClassName[] = L"TervaneHotKeyApplication";
constexpr wchar_t AtomPrefix[] = L"HotKeyManagerHotKey";
constexpr wchar_t TestAtomName[] = L"HotKeyManagerHotKeyTest";

HWND applicationWindow = nullptr;

// Registers a window class of this module once per process.
void EnsureClass(const wchar_t* name, WNDPROC procedure) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, name, &existing))
        return;
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof(cls);
    cls.lpfnWndProc = procedure;
    cls.hInstance = instance;
    cls.lpszClassName = name;
    if (!RegisterClassExW(&cls) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("Cannot register the hotkey window class");
}

// Message-only windows receive posted messages, WM_HOTKEY among them, and are never shown.
HWND CreateHiddenWindow(const wchar_t* className, void* creationParameter) {
    return CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), creationParameter);
}

} // namespace

THotKeyManager::THotKeyManager() {
    EnsureClass(ManagerClassName, &THotKeyManager::WindowProc);
    // WM_NCCREATE stores FHandle before CreateWindowExW returns.
    if (!CreateHiddenWindow(ManagerClassName, this))
        throw std::runtime_error("Cannot create the hotkey manager's window");
}

THotKeyManager::~THotKeyManager() {
    ClearHotKeys();
    if (FHandle)
        DestroyWindow(FHandle);
}

std::uint16_t THotKeyManager::AddHotKey(std::uint32_t HotKey) {
    std::uint16_t modifiers = 0, key = 0;
    SeparateHotKey(HotKey, modifiers, key);
    const std::wstring atomName = AtomPrefix + std::to_wstring(HotKey);
    // A full atom table leaves no identifier to register under: the registration is refused.
    const ATOM atom = GlobalAddAtomW(atomName.c_str());
    if (atom == 0)
        return 0;
    if (!RegisterHotKey(FHandle, atom, modifiers, key)) {
        GlobalDeleteAtom(atom);
        return 0;
    }
    FRegistrations.push_back({HotKey, atom});
    return atom;
}

bool THotKeyManager::Release(const THotKeyRegistration& registration) {
    const bool released = UnregisterHotKey(FHandle, registration.KeyIndex) != FALSE;
    GlobalDeleteAtom(registration.KeyIndex);
    return released;
}

bool THotKeyManager::RemoveHotKey(std::uint32_t HotKey) {
    for (auto it = FRegistrations.begin(); it != FRegistrations.end(); ++it) {
        if (it->HotKey != HotKey)
            continue;
        const bool released = Release(*it);
        FRegistrations.erase(it);
        return released;
    }
    return false;
}

void THotKeyManager::ClearHotKeys() {
    while (!FRegistrations.empty()) {
        Release(FRegistrations.back());
        FRegistrations.pop_back();
    }
}

LRESULT THotKeyManager::WndProc(UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (Msg == WM_HOTKEY && OnHotKeyPressed) {
        // lParam: registration flags in the low word, key code in the high word.
        const std::uint32_t flags = LOWORD(lParam);
        std::uint32_t value = HIWORD(lParam);
        if (flags & HotKeyModShift)
            value += HotKeyShift;
        if (flags & HotKeyModControl)
            value += HotKeyCtrl;
        if (flags & HotKeyModAlt)
            value += HotKeyAlt;
        if (flags & HotKeyModWin)
            value += HotKeyWin;
        // Only hotkeys of this manager raise the event, not others registered for its window.
        for (const THotKeyRegistration& registration : FRegistrations) {
            if (registration.HotKey != value)
                continue;
            // A copy, so that the handler may reassign the event.
            const TOnHotKeyPressed handler = OnHotKeyPressed;
            handler(value, LOWORD(wParam));
            break;
        }
    }
    return DefWindowProcW(FHandle, Msg, wParam, lParam);
}

LRESULT CALLBACK THotKeyManager::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* manager =
            static_cast<THotKeyManager*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        manager->FHandle = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(manager));
    }
    auto* manager = reinterpret_cast<THotKeyManager*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!manager)
        return DefWindowProcW(window, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        manager->FHandle = nullptr;
        return DefWindowProcW(window, msg, wParam, lParam);
    }
    return manager->WndProc(msg, wParam, lParam);
}

bool HotKeyAvailable(std::uint32_t HotKey) {
    // Without an identifier there is nothing to try the registration under: not available.
    const ATOM atom = GlobalAddAtomW(TestAtomName);
    if (atom == 0)
        return false;
    std::uint16_t modifiers = 0, key = 0;
    SeparateHotKey(HotKey, modifiers, key);
    const HWND window = HotKeyApplicationWindow();
    const bool accepted = RegisterHotKey(window, atom, modifiers, key) != FALSE;
    if (accepted)
        UnregisterHotKey(window, atom);
    GlobalDeleteAtom(atom);
    return accepted;
}

HWND HotKeyApplicationWindow() {
    if (!applicationWindow) {
        EnsureClass(ApplicationClassName, DefWindowProcW);
        applicationWindow = CreateHiddenWindow(ApplicationClassName, nullptr);
        if (!applicationWindow)
            throw std::runtime_error("Cannot create the hotkey application window");
    }
    return applicationWindow;
}

void HotKeyModuleStartWin() {
    HotKeyModuleStart(SystemKeyboardLayout());
    HotKeyApplicationWindow();
}

void HotKeyModuleEndWin() {
    if (applicationWindow) {
        DestroyWindow(applicationWindow);
        applicationWindow = nullptr;
    }
    HotKeyModuleEnd();
}
