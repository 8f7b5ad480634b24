#include "gtk/HotKeyGrabs.h"

#include "gtk/KeyNames.h"

#include <keybinder.h>

#include <algorithm>

namespace tervane {

HotKeyGrabs::HotKeyGrabs() {
    keybinder_init();
}

HotKeyGrabs::~HotKeyGrabs() {
    Clear();
}

bool HotKeyGrabs::Add(std::uint32_t hotKey) {
    const std::string accelerator = AcceleratorOf(hotKey);
    if (accelerator.empty())
        return false;
    if (std::any_of(grabs_.begin(), grabs_.end(),
                    [&](const Grab& grab) { return grab.hotKey == hotKey; }))
        return false;
    if (!keybinder_bind(accelerator.c_str(), &HotKeyGrabs::OnKey, this))
        return false;
    grabs_.push_back({hotKey, accelerator});
    return true;
}

bool HotKeyGrabs::Remove(std::uint32_t hotKey) {
    const auto grab = std::find_if(grabs_.begin(), grabs_.end(),
                                   [&](const Grab& held) { return held.hotKey == hotKey; });
    if (grab == grabs_.end())
        return false;
    keybinder_unbind(grab->accelerator.c_str(), &HotKeyGrabs::OnKey);
    grabs_.erase(grab);
    return true;
}

void HotKeyGrabs::Clear() {
    while (!grabs_.empty()) {
        keybinder_unbind(grabs_.back().accelerator.c_str(), &HotKeyGrabs::OnKey);
        grabs_.pop_back();
    }
}

void HotKeyGrabs::OnKey(const char* keystring, void* self) {
    auto* grabs = static_cast<HotKeyGrabs*>(self);
    for (const Grab& grab : grabs->grabs_) {
        if (grab.accelerator == keystring) {
            if (grabs->onPressed)
                grabs->onPressed(grab.hotKey);
            return;
        }
    }
}

} // namespace tervane
