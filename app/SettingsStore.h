#pragma once
// The settings store: one key below HKEY_CURRENT_USER holding the chosen languages, the
// transparency, the three options and the hotkey list. The main window loads it once
// when it is created and saves it once when it closes; these are the rules of both, over
// the registry seam and the window's controls as `SettingsForm` shows them.
#include "base/Registry.h"
#include "hotkeys/HotKeyCodec.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kSettingsKeyPath = "Software\\Vellmark\\Tervane";

// The options, in the order the "cc" text stores them.
enum class Option { Freeze, CopyToClipboard, LogToFile };

// The main window's controls as the store reads and sets them. A control set here changes
// as a user's change would change it: its change or click handler runs.
class SettingsForm {
  public:
    virtual ~SettingsForm() = default;
    // A picker's position in the language table; -1 when it has none.
    virtual int SourcePosition() = 0;
    virtual int TargetPosition() = 0;
    // Moves the picker (a position outside the table leaves it without one) and runs its
    // change handler, whether or not the position changed.
    virtual void SelectSource(std::int32_t position) = 0;
    virtual void SelectTarget(std::int32_t position) = 0;
    virtual int SliderPosition() = 0;
    // Moves the slider; its change handler runs when the position changed.
    virtual void MoveSlider(int position) = 0;
    virtual bool IsChecked(Option option) = 0;
    // Checks or clears the box; its click handler runs when the state changed.
    virtual void SetChecked(Option option, bool checked) = 0;
    // The hotkey list's lines, in order.
    virtual std::vector<std::string> HotKeyLines() = 0;
    // Whether two texts are equal when letter case is ignored, as the user's locale says.
    virtual bool SameIgnoringCase(std::string_view a, std::string_view b) = 0;
    // Registers a hotkey and lists it; the window reports a refusal itself.
    virtual void AddHotKeyToList(std::uint32_t hotKey) = 0;
};

// Applies the stored settings, in the store's order: "src", "trg", "tr", "cc", then the
// stored hotkeys. Nothing stored (no key) leaves every control as it is; the key is never
// created here. A value of the wrong type ends the load with "Invalid data type for
// '<name>'" after what was applied before it; the key is closed either way.
void LoadSettings(Registry& registry, const HotKeyCodec& codec, SettingsForm& form);

// Writes the window's settings, creating the key. When the key cannot be opened nothing is
// written and the close goes on; a refused write throws "Failed to set data for '<name>'"
// with the remaining writes skipped and the key closed, so the window stays open.
void SaveSettings(Registry& registry, SettingsForm& form);
