#pragma once
// The groups "Add a HotKey" and "HotKey in Use": the entry box, the list of the hotkeys in
// use and their buttons. Every line of the list is one hotkey the manager holds, and
// carries its hotkey value.
#include "app/PanelBuilder_win.h"
#include "base/Controls_win.h"
#include "hotkeys/HotKeyCodec.h"
#include "hotkeys/HotKeyManager_win.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tervane {

class HotKeyPanel {
  public:
    // Both must outlive the panel.
    HotKeyPanel(const HotKeyCodec& codec, HotKeyManager& hotKeys)
        : codec_(codec), hotKeys_(hotKeys) {}

    void Create(const PanelBuilder& build);
    // Handles a notification of one of its controls; false when it is not one of them.
    bool OnCommand(ControlId id, int notification);
    void Show(bool show) const;

    // Registers the hotkey and lists it; a warning box when the system refuses it.
    void AddHotKeyToList(std::uint32_t hotKey);
    void OnAddHotKey();
    void OnRemoveHotKey();
    void OnClearHotKeys();
    // The list's lines, as the user reads them.
    std::vector<std::string> Lines() const { return list_.Lines(); }

  private:
    std::uint32_t EntryValue() const;

    const HotKeyCodec& codec_;
    HotKeyManager& hotKeys_;
    HWND window_ = nullptr; // the owner of the panel's message boxes
    HWND hotKeyGroup_ = nullptr, hotKeysInUseGroup_ = nullptr;
    HotKeyBox entry_;
    ListBox list_;
};

} // namespace tervane
