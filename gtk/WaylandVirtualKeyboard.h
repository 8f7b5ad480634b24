#pragma once
// A virtual keyboard of the compositor's (zwp_virtual_keyboard_manager_v1), for the paste
// keystroke of a replacement: a Wayland client has no other way to send a key to another
// application. Its keymap is the US layout of the evdev rules, uploaded when it is made;
// the compositor hands it to the focused application with the keys.
#include <cstdint>

struct wl_display;
struct wl_seat;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

namespace tervane {

class WaylandVirtualKeyboard {
  public:
    // Throws std::runtime_error when the keymap cannot be made or handed over.
    WaylandVirtualKeyboard(wl_display* display, zwp_virtual_keyboard_manager_v1* manager,
                           wl_seat* seat);
    ~WaylandVirtualKeyboard();
    WaylandVirtualKeyboard(const WaylandVirtualKeyboard&) = delete;
    WaylandVirtualKeyboard& operator=(const WaylandVirtualKeyboard&) = delete;

    // Ctrl+V pressed and let go, sent at once; Ctrl held only on this keyboard, whatever the
    // user still holds on theirs.
    void PressPaste();

  private:
    wl_display* display_;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    std::uint32_t controlMask_ = 0;
};

} // namespace tervane
