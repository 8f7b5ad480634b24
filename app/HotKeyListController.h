#pragma once
// The hotkey panel's rules, once for every front end: the entry, the list of the hotkeys in
// use (each line one registration the platform holds), Add, Remove and Clear all, the
// start-up adds (the default hotkey first, then the stored ones). A front end's panel is a
// view: it reports the entry and the selected line, runs the handlers, and shows Lines()
// and Entry() again whenever onChanged says so.
#include "app/Settings.h"
#include "hotkeys/HotKeyAction.h"
#include "hotkeys/HotKeyCodec.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tervane {

// The platform's global hotkey registration.
class HotKeyRegistrar {
  public:
    virtual ~HotKeyRegistrar() = default;
    // False when the system refuses it (taken by another program, or by this one already).
    virtual bool Add(std::uint32_t hotKey) = 0;
    virtual bool Remove(std::uint32_t hotKey) = 0;
    virtual void Clear() = 0;
};

// The panels' modal message boxes.
class PanelMessages {
  public:
    virtual ~PanelMessages() = default;
    // Caption "Warning", the warning symbol, one OK button.
    virtual void ShowWarning(const std::string& text) = 0;
    // The application's title as caption, one OK button.
    virtual void ShowPlain(const std::string& text) = 0;
};

// Whether two texts are equal when letter case is ignored, as the user's locale says.
using SameIgnoringCase = std::function<bool(std::string_view, std::string_view)>;

inline constexpr const char* kNoHotKeyText = "No hotkey specified.";
inline constexpr const char* kSelectLineText = "Please select an item";
// Shown when the default hotkey's text does not convert with the keyboard of the session.
inline constexpr const char* kDefaultHotKeyErrorText = "Hotkeyerror!";

struct HotKeyLine {
    std::string text; // as the codec writes it, localised
    std::uint32_t hotKey = 0;
    HotKeyAction action = HotKeyAction::Translate;
    // What the list shows: the text, and the action where it is not the usual one.
    std::string Label() const { return HotKeyLineLabel(text, action); }
    friend bool operator==(const HotKeyLine&, const HotKeyLine&) = default;
};

// The value a stored hotkey text adds to the list, 0 when it is passed over: empty, listed
// already (ignoring case), not a hotkey with this keyboard (edited by hand), or a typing key
// without Ctrl, Alt or Win that an older version accepted (hotkeys/HotKeyRules.h).
std::uint32_t StoredHotKeyToAdd(const HotKeyCodec& codec, const std::vector<std::string>& lines,
                                std::string_view text, const SameIgnoringCase& same);

class HotKeyListController {
  public:
    // All must outlive the controller.
    HotKeyListController(const HotKeyCodec& codec, HotKeyRegistrar& registrar,
                         PanelMessages& messages, SameIgnoringCase same)
        : codec_(codec), registrar_(registrar), messages_(messages), same_(std::move(same)) {}

    const std::vector<HotKeyLine>& Lines() const { return lines_; }
    std::vector<std::string> LineTexts() const;
    // The lines as the settings store keeps them.
    std::vector<HotKeySetting> LineSettings() const;
    // What a pressed hotkey does: its line's action (a hotkey no line lists translates).
    HotKeyAction ActionOf(std::uint32_t hotKey) const;
    // The entry's hotkey value, 0 when empty, and its text ("" when empty).
    std::uint32_t Entry() const { return entry_; }
    std::string EntryText() const;

    // What the user pressed in the entry (0 empties it); no handler runs.
    void SetEntry(std::uint32_t hotKey);
    // Registers the hotkey and lists it, emptying the entry; a warning names a refused one
    // and leaves the list and the entry as they are. True when it was listed.
    bool AddHotKeyToList(std::uint32_t hotKey, HotKeyAction action = HotKeyAction::Translate);
    // "Add": the entry's hotkey, unless the entry is empty or it takes a typing key (then
    // the entry keeps it, so that the user can add a modifier).
    void OnAdd();
    // "Remove" with the view's selected line, -1 for none.
    void OnRemove(int selectedLine);
    // The action chosen for the view's selected line (-1 for none: "Please select an
    // item"). Replace on a desktop that cannot replace is refused with its reason, in a
    // warning box; the line keeps its action.
    void OnSetAction(int selectedLine, HotKeyAction action);
    // Where the desktop gives a program no way to put text into another one: why, as the
    // panel says it ("" where replace works, the default).
    void SetReplaceUnavailable(std::string reason) { replaceUnavailable_ = std::move(reason); }
    const std::string& ReplaceUnavailable() const { return replaceUnavailable_; }
    // "Clear all", without asking: every registration released, list and entry emptied.
    void OnClear();
    // Start-up: the default hotkey, registered at every start as the first line.
    void AddDefaultHotKey();
    // Start-up: one stored text, passed over as StoredHotKeyToAdd says.
    void AddStoredHotKey(std::string_view text, HotKeyAction action = HotKeyAction::Translate);

    // Called after the lines or the entry changed.
    std::function<void()> onChanged;

  private:
    void Changed() const;

    const HotKeyCodec& codec_;
    HotKeyRegistrar& registrar_;
    PanelMessages& messages_;
    SameIgnoringCase same_;
    std::vector<HotKeyLine> lines_;
    std::uint32_t entry_ = 0;
    std::string replaceUnavailable_;
};

} // namespace tervane
