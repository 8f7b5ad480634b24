#pragma once
// The program's global hotkeys on X11: each is a key grab on the root window (Debian's
// libkeybinder-3.0), so a press reaches the program whichever application has the focus.
// A hotkey is held once: adding one that is held already, by this program or by another
// one that grabbed the key first, is refused, as the system refuses it on Windows.
#include "gtk/GlobalHotKeys.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tervane {

class HotKeyGrabs final : public GlobalHotKeys {
  public:
    HotKeyGrabs();
    ~HotKeyGrabs() override;
    HotKeyGrabs(const HotKeyGrabs&) = delete;
    HotKeyGrabs& operator=(const HotKeyGrabs&) = delete;

    HotKeyWay Way() const override { return HotKeyWay::Grabs; }
    // False when refused.
    bool Add(std::uint32_t hotKey) override;
    // Releases the hotkey; false when it was not held.
    bool Remove(std::uint32_t hotKey) override;
    // Releases every hotkey, the last first.
    void Clear() override;
    // While paused the keys are not grabbed, so that a field that records a combination can
    // take one that is a hotkey; the hotkeys stay listed and are grabbed again on Resume.
    void Pause() override;
    void Resume() override;

  private:
    static void OnKey(const char* keystring, void* self);

    struct Grab {
        std::uint32_t hotKey;
        std::string accelerator;
    };
    std::vector<Grab> grabs_;
    bool paused_ = false;
};

} // namespace tervane
