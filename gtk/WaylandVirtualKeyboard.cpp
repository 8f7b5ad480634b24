#include "gtk/WaylandVirtualKeyboard.h"

#include "virtual-keyboard-unstable-v1-client-protocol.h"

#include <glib.h>
#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>
#include <memory>
#include <stdexcept>

namespace tervane {

namespace {

constexpr std::uint32_t kXkbTextKeymap = 1; // wl_keyboard's keymap format XKB_V1
constexpr std::uint32_t kPressed = 1, kReleased = 0;

template <typename T, void (*Free)(T*)> struct Freed {
    void operator()(T* object) const { Free(object); }
};

std::uint32_t Now() {
    return static_cast<std::uint32_t>(g_get_monotonic_time() / 1000);
}

} // namespace

WaylandVirtualKeyboard::WaylandVirtualKeyboard(wl_display* display,
                                               zwp_virtual_keyboard_manager_v1* manager,
                                               wl_seat* seat)
    : display_(display) {
    std::unique_ptr<xkb_context, Freed<xkb_context, xkb_context_unref>> context(
        xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    std::unique_ptr<xkb_keymap, Freed<xkb_keymap, xkb_keymap_unref>> keymap(
        context ? xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS)
                : nullptr);
    if (!keymap)
        throw std::runtime_error("Cannot make the paste keystroke's keymap (xkbcommon)");
    controlMask_ = 1u << xkb_keymap_mod_get_index(keymap.get(), XKB_MOD_NAME_CTRL);
    std::unique_ptr<char, Freed<void, free>> text(
        xkb_keymap_get_as_string(keymap.get(), XKB_KEYMAP_FORMAT_TEXT_V1));
    const std::size_t size = std::strlen(text.get()) + 1;
    const int fd = memfd_create("tervane-keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, text.get(), size) != static_cast<ssize_t>(size)) {
        if (fd >= 0)
            close(fd);
        throw std::runtime_error("Cannot hand the compositor the paste keystroke's keymap");
    }
    keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, seat);
    zwp_virtual_keyboard_v1_keymap(keyboard_, kXkbTextKeymap, fd, static_cast<std::uint32_t>(size));
    close(fd); // the request carries a copy
    wl_display_flush(display_);
}

WaylandVirtualKeyboard::~WaylandVirtualKeyboard() {
    if (keyboard_)
        zwp_virtual_keyboard_v1_destroy(keyboard_);
}

void WaylandVirtualKeyboard::PressPaste() {
    zwp_virtual_keyboard_v1_key(keyboard_, Now(), KEY_LEFTCTRL, kPressed);
    zwp_virtual_keyboard_v1_modifiers(keyboard_, controlMask_, 0, 0, 0);
    zwp_virtual_keyboard_v1_key(keyboard_, Now(), KEY_V, kPressed);
    zwp_virtual_keyboard_v1_key(keyboard_, Now(), KEY_V, kReleased);
    zwp_virtual_keyboard_v1_key(keyboard_, Now(), KEY_LEFTCTRL, kReleased);
    zwp_virtual_keyboard_v1_modifiers(keyboard_, 0, 0, 0, 0);
    wl_display_flush(display_);
}

} // namespace tervane
