#pragma once
// The program's global hotkeys on X11: each is a key grab on the root window (Debian's
// libkeybinder-3.0), so a press reaches the program whichever application has the focus.
// A hotkey is held once: adding one that is held already, by this program or by another
// one that grabbed the key first, is refused, as the system refuses it on Windows.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tervane {

class HotKeyGrabs {
  public:
    HotKeyGrabs();
    ~HotKeyGrabs();
    HotKeyGrabs(const HotKeyGrabs&) = delete;
    HotKeyGrabs& operator=(const HotKeyGrabs&) = delete;

    // False when refused.
    bool Add(std::uint32_t hotKey);
    // Releases the hotkey; false when it was not held.
    bool Remove(std::uint32_t hotKey);
    // Releases every hotkey, the last first.
    void Clear();
    // While paused the keys are not grabbed, so that a field that records a combination can
    // take one that is a hotkey; the hotkeys stay listed and are grabbed again on Resume.
    void Pause();
    void Resume();

    // Raised on the main loop for every press of a held hotkey.
    std::function<void(std::uint32_t hotKey)> onPressed;

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
