#pragma once
// The groups "Add a HotKey" and "HotKey in Use": the entry box, the list of the hotkeys in
// use and their buttons, a view over the hotkey list's rules (app/HotKeyListController)
// with the hotkey manager as its registrar and the window's message boxes.
#include "app/HotKeyListController.h"
#include "app/PanelBuilder_win.h"
#include "base/Controls_win.h"
#include "hotkeys/HotKeyCodec.h"
#include "hotkeys/HotKeyManager_win.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tervane {

// Whether two texts are equal ignoring letter case, as the user's locale says.
bool SameIgnoringCaseInUserLocale(std::string_view a, std::string_view b);

class HotKeyPanel final : private HotKeyRegistrar, private PanelMessages {
  public:
    // Both must outlive the panel.
    HotKeyPanel(const HotKeyCodec& codec, HotKeyManager& hotKeys);

    void Create(const PanelBuilder& build);
    // The list's lines and size at a new DPI (the layout moves the rest).
    void ScaleTo(int dpi) const;
    // Handles a notification of one of its controls; false when it is not one of them.
    bool OnCommand(ControlId id, int notification);
    void Show(bool show) const;

    HotKeyListController& Controller() { return controller_; }
    void AddHotKeyToList(std::uint32_t hotKey) { controller_.AddHotKeyToList(hotKey); }
    // The list's lines, as the user reads them.
    std::vector<std::string> Lines() const { return controller_.LineTexts(); }

    // Called after the list or the entry changed.
    std::function<void()> onChanged;

  private:
    bool Add(std::uint32_t hotKey) override { return hotKeys_.AddHotKey(hotKey) != 0; }
    bool Remove(std::uint32_t hotKey) override { return hotKeys_.RemoveHotKey(hotKey); }
    void Clear() override { hotKeys_.ClearHotKeys(); }
    void ShowWarning(const std::string& text) override;
    void ShowPlain(const std::string& text) override;

    std::uint32_t EntryValue() const;
    void ShowController();
    void ShowSelectedAction() const;

    HotKeyManager& hotKeys_;
    HotKeyListController controller_;
    HWND window_ = nullptr; // the owner of the panel's message boxes
    HWND hotKeyGroup_ = nullptr, hotKeysInUseGroup_ = nullptr;
    HotKeyBox entry_;
    ListBox list_;
    Picker action_; // the selected line's action, in HotKeyAction's order
};

} // namespace tervane
