#pragma once
// The hotkeys where the desktop must run the shortcut itself (a Wayland session without the
// GlobalShortcuts portal): the list is kept and saved as everywhere, nothing is bound, and
// presses arrive as `tervane --translate-selection` (DesktopShortcutBox says how).
#include "gtk/GlobalHotKeys.h"
#include "gtk/ShortcutTexts.h"

#include <algorithm>
#include <vector>

namespace tervane {

class DesktopRunHotKeys final : public GlobalHotKeys {
  public:
    HotKeyWay Way() const override { return HotKeyWay::DesktopRunsIt; }
    bool Add(std::uint32_t hotKey) override {
        if (SwayBindingOf(hotKey).empty() || Holds(hotKey))
            return false;
        hotKeys_.push_back(hotKey);
        return true;
    }
    bool Remove(std::uint32_t hotKey) override {
        const bool held = Holds(hotKey);
        hotKeys_.erase(std::remove(hotKeys_.begin(), hotKeys_.end(), hotKey), hotKeys_.end());
        return held;
    }
    void Clear() override { hotKeys_.clear(); }

  private:
    bool Holds(std::uint32_t hotKey) const {
        return std::find(hotKeys_.begin(), hotKeys_.end(), hotKey) != hotKeys_.end();
    }
    std::vector<std::uint32_t> hotKeys_;
};

} // namespace tervane
