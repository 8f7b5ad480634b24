#pragma once
// Global hotkeys registered with the system, and their presses delivered as an event.
#include "base/BaseWindow_win.h"
#include "hotkeys/HotKeyCodec.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace tervane {

// One hotkey a manager holds: the value given to AddHotKey and the identifier (a global
// atom) under which it is registered.
struct HotKeyRegistration {
    std::uint32_t hotKey;
    std::uint16_t keyIndex;
};

// A press of a registered hotkey: its value and the identifier the system reported.
using HotKeyPressHandler = std::function<void(std::uint32_t hotKey, std::uint16_t index)>;

// Registers hotkey values (see HotKeyCodec.h) for a hidden message-only window of its own
// and raises onHotKeyPressed when one of them is pressed. The owner (the main window)
// holds it as a member; destroying it releases every hotkey and the window. Used on the
// thread that created it, whose message loop delivers the presses.
class HotKeyManager : public BaseWindow<HotKeyManager> {
  public:
    HotKeyManager();
    virtual ~HotKeyManager();
    HotKeyManager(const HotKeyManager&) = delete;
    HotKeyManager& operator=(const HotKeyManager&) = delete;

    // Registers the value under the atom "HotKeyManagerHotKey<value>"; returns that atom,
    // or 0 when the system (or the atom table) refused, leaving nothing behind.
    std::uint16_t AddHotKey(std::uint32_t hotKey);
    // Releases the first registration of the value. False when none is listed or the
    // system refused the release; a listed one leaves the list either way.
    bool RemoveHotKey(std::uint32_t hotKey);
    // Releases every registration, the last first.
    void ClearHotKeys();

    // What this manager holds, in the order of registration.
    const std::vector<HotKeyRegistration>& Registrations() const { return registrations_; }

    // Called on a press of a listed hotkey, from inside the window procedure (and so
    // inside the program's error guard); skipped when empty.
    HotKeyPressHandler onHotKeyPressed;

  protected:
    friend class BaseWindow<HotKeyManager>;
    // Every message of the hidden window. Returns the message result.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

  private:
    bool Release(const HotKeyRegistration& registration);

    std::vector<HotKeyRegistration> registrations_;
};

// The hotkey module of the program: the codec over the thread's keyboard layouts. Made
// once at start, before the main window; destroyed after it.
class HotKeyModule {
  public:
    HotKeyModule();
    HotKeyModule(const HotKeyModule&) = delete;
    HotKeyModule& operator=(const HotKeyModule&) = delete;

    const HotKeyCodec& Codec() const { return codec_; }

  private:
    HotKeyCodec codec_;
};

} // namespace tervane
