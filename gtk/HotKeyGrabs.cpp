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
    // Grabbed even while paused: the grab is what tells whether another program holds it.
    if (!keybinder_bind(accelerator.c_str(), &HotKeyGrabs::OnKey, this))
        return false;
    if (paused_)
        keybinder_unbind(accelerator.c_str(), &HotKeyGrabs::OnKey);
    grabs_.push_back({hotKey, accelerator});
    return true;
}

bool HotKeyGrabs::Remove(std::uint32_t hotKey) {
    const auto grab = std::find_if(grabs_.begin(), grabs_.end(),
                                   [&](const Grab& held) { return held.hotKey == hotKey; });
    if (grab == grabs_.end())
        return false;
    if (!paused_)
        keybinder_unbind(grab->accelerator.c_str(), &HotKeyGrabs::OnKey);
    grabs_.erase(grab);
    return true;
}

void HotKeyGrabs::Clear() {
    while (!grabs_.empty()) {
        if (!paused_)
            keybinder_unbind(grabs_.back().accelerator.c_str(), &HotKeyGrabs::OnKey);
        grabs_.pop_back();
    }
}

void HotKeyGrabs::Pause() {
    if (paused_)
        return;
    paused_ = true;
    for (const Grab& grab : grabs_)
        keybinder_unbind(grab.accelerator.c_str(), &HotKeyGrabs::OnKey);
}

// A key another program grabbed meanwhile stays listed without its grab, as keybinder
// leaves it; the next pause and resume try it again.
void HotKeyGrabs::Resume() {
    if (!paused_)
        return;
    paused_ = false;
    for (const Grab& grab : grabs_)
        keybinder_bind(grab.accelerator.c_str(), &HotKeyGrabs::OnKey, this);
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
