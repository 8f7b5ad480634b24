#pragma once
// The settings store: one key below HKEY_CURRENT_USER holding the chosen languages, the
// transparency, the three options and the hotkey list. The main window loads it once
// when it is created and saves it once when it closes; these are the rules of both, over
// the registry seam (the Windows registry, or a settings file on Linux) and the front end's
// controls as `SettingsView` shows them.
#include "app/Settings.h"
#include "base/Registry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tervane {

inline constexpr const char* kSettingsKeyPath = "Software\\Vellmark\\Tervane";

// The front end's controls as the store sets them. A control set here changes as a user's
// change would change it: its change or click handler runs.
class SettingsView {
  public:
    virtual ~SettingsView() = default;
    // The settings as the controls show them now.
    virtual Settings Current() = 0;
    // Moves the picker (a position outside the table leaves it without one) and runs its
    // change handler, whether or not the position changed.
    virtual void SelectSource(std::int32_t position) = 0;
    virtual void SelectTarget(std::int32_t position) = 0;
    // Moves the slider; its change handler runs when the position changed.
    virtual void MoveSlider(int position) = 0;
    // Checks or clears the box; its click handler runs when the state changed.
    virtual void SetChecked(Option option, bool checked) = 0;
    // One stored hotkey text with its action, added to the list unless the hotkey list's
    // rules pass it over (app/HotKeyListController: StoredHotKeyToAdd); a refusal is reported
    // by the list.
    virtual void AddStoredHotKey(const std::string& text, HotKeyAction action) = 0;
};

// Applies the stored settings, in the store's order: "src", "trg", "tr", "cc", then the
// stored hotkeys ("Count" of 1..9 texts "Key0", "Key1", ...; an absent or empty one passed
// over; each with its action "Action0", "Action1", ..., where an absent one translates, as
// every hotkey did before hotkeys had actions). Nothing stored (no key) leaves every control as it
// is; the key is never created here. A value of the wrong type ends the load with "Invalid data
// type for '<name>'" after what was applied before it; the key is closed either way.
void LoadSettings(Registry& registry, SettingsView& view);

// Writes the settings, creating the key. When the key cannot be opened nothing is
// written and the close goes on; a refused write throws "Failed to set data for '<name>'"
// with the remaining writes skipped and the key closed, so the window stays open.
void SaveSettings(Registry& registry, const Settings& settings);

} // namespace tervane
