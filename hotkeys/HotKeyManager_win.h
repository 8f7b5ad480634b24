#pragma once
// Global hotkeys registered with the system, and their presses delivered as an event.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

// One hotkey a manager holds: the value given to AddHotKey and the identifier (a global
// atom) under which it is registered.
struct THotKeyRegistration {
    std::uint32_t HotKey;
    std::uint16_t KeyIndex;
};

// A press of a registered hotkey: its value and the identifier the system reported.
using TOnHotKeyPressed = std::function<void(std::uint32_t HotKey, std::uint16_t Index)>;

// Registers hotkey values (see HotKeyCodec.h) for a hidden message-only window of its own
// and raises OnHotKeyPressed when one of them is pressed. The owner (the main window)
// holds it as a member; destroying it releases every hotkey and the window. Used on the
// thread that created it, whose message loop delivers the presses.
class THotKeyManager {
  public:
    THotKeyManager();
    virtual ~THotKeyManager();
    THotKeyManager(const THotKeyManager&) = delete;
    THotKeyManager& operator=(const THotKeyManager&) = delete;

    // Registers the value under the atom "HotKeyManagerHotKey<value>"; returns that atom,
    // or 0 when the system (or the atom table) refused, leaving nothing behind.
    std::uint16_t AddHotKey(std::uint32_t HotKey);
    // Releases the first registration of the value. False when none is listed or the
    // system refused the release; a listed one leaves the list either way.
    bool RemoveHotKey(std::uint32_t HotKey);
    // Releases every registration, the last first.
    void ClearHotKeys();

    // What this manager holds, in the order of registration.
    const std::vector<THotKeyRegistration>& Registrations() const { return FRegistrations; }
    HWND Handle() const { return FHandle; }

    // Called on a press of a listed hotkey, from inside the window procedure; skipped
    // when empty. It must not throw: the main window's handler runs inside its own guard.
    TOnHotKeyPressed OnHotKeyPressed;

  protected:
    // Every message of the hidden window. Returns the message result.
    virtual LRESULT WndProc(UINT Msg, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    bool Release(const THotKeyRegistration& registration);

    HWND FHandle = nullptr;
    std::vector<THotKeyRegistration> FRegistrations;
};

// True when the system would accept a registration of the value now; false also for a
// value this program already holds.
bool HotKeyAvailable(std::uint32_t HotKey);

// The process-wide hidden application window, made on first use and destroyed by
// HotKeyModuleEndWin. HotKeyAvailable registers its test hotkey there.
HWND HotKeyApplicationWindow();

// The hotkey module's start and end on Windows: the codec's module start over the thread's
// keyboard layouts (SystemKeyboardLayout) and the application window; at the end the
// window goes and the codec's module end runs.
void HotKeyModuleStartWin();
void HotKeyModuleEndWin();
