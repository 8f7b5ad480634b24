#include "gtk/ShortcutTexts.h"

#include "gtk/KeyNames.h"
#include "hotkeys/HotKeyCodec.h"

#include <charconv>

namespace tervane {

namespace {

struct Modifiers {
    const char* ctrl;
    const char* shift;
    const char* alt;
    const char* super;
};

std::string Join(std::uint32_t hotKey, const Modifiers& names) {
    const DesktopKey* key = DesktopKeyOf(static_cast<std::uint16_t>(hotKey & kHotKeyKeyMask));
    if (!key)
        return {};
    std::string text;
    for (const auto& [bit, name] :
         {std::pair{kHotKeyCtrl, names.ctrl}, std::pair{kHotKeyShift, names.shift},
          std::pair{kHotKeyAlt, names.alt}, std::pair{kHotKeyWin, names.super}}) {
        if (hotKey & bit)
            text += std::string(name) + "+";
    }
    return text + key->keysym;
}

constexpr const char* kIdPrefix = "hotkey-";

} // namespace

std::string PortalTriggerOf(std::uint32_t hotKey) {
    return Join(hotKey, {"CTRL", "SHIFT", "ALT", "LOGO"});
}

std::string SwayBindingOf(std::uint32_t hotKey) {
    const std::string keys = Join(hotKey, {"Ctrl", "Shift", "Mod1", "Mod4"});
    return keys.empty() ? keys : "bindsym " + keys + " exec " + kTranslateSelectionCommand;
}

std::string ShortcutIdOf(std::uint32_t hotKey) {
    return kIdPrefix + std::to_string(hotKey);
}

std::optional<std::uint32_t> HotKeyOfShortcutId(const std::string& id) {
    const std::string prefix = kIdPrefix;
    if (id.compare(0, prefix.size(), prefix) != 0 || id.size() == prefix.size())
        return std::nullopt;
    std::uint32_t value = 0;
    const char* end = id.data() + id.size();
    const auto [at, error] = std::from_chars(id.data() + prefix.size(), end, value);
    if (error != std::errc{} || at != end)
        return std::nullopt;
    return value;
}

} // namespace tervane
