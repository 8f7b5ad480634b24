#pragma once
// Typed views of the standard controls a window is built from. Each holds a control's
// handle and owns nothing (the control goes with its parent window); the methods say what
// is read or changed instead of which message carries it. The "AsUser" changes also send
// the parent the notification a user's change sends, so that the parent's handlers run.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tervane {

class Control {
  public:
    Control() = default;
    explicit Control(HWND handle) : handle_(handle) {}
    HWND Handle() const { return handle_; }
    bool Is(HWND handle) const { return handle && handle == handle_; }

  protected:
    // WM_COMMAND with `notification` to the parent, as the control sends it itself.
    void NotifyParent(int notification) const;
    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;

    HWND handle_ = nullptr;
};

class CheckBox : public Control {
  public:
    using Control::Control;
    bool Checked() const;
    void SetChecked(bool checked) const;
    // A click that leaves the box `checked`: nothing when it already is.
    void ClickTo(bool checked) const;
};

// A drop-down list of texts.
class Picker : public Control {
  public:
    using Control::Control;
    void AddText(std::string_view text) const;
    int Count() const;
    // The selected line, -1 for none.
    int Position() const;
    // A position outside the list leaves the picker without a selection (Windows clears it
    // for any such position, Wine only for -1: every one is given as -1).
    void Select(int position) const;
    void SelectAsUser(int position) const;
    // The text of the selected line; empty when there is none.
    std::string SelectedText() const;
    void Redraw() const;
};

class Slider : public Control {
  public:
    using Control::Control;
    void SetRange(int low, int high) const;
    int Position() const;
    void SetPosition(int position) const;
    // Moved as by its thumb: the parent gets the slider's scroll message.
    void MoveAsUser(int position) const;
};

// A list box whose lines each carry a number.
class ListBox : public Control {
  public:
    using Control::Control;
    void AddLine(std::string_view text, std::uint32_t data) const;
    // The selected line, -1 for none.
    int Selected() const;
    std::uint32_t DataAt(int line) const;
    void DeleteLine(int line) const;
    void Clear() const;
    std::vector<std::string> Lines() const;
};

// The common hotkey entry box.
class HotKeyBox : public Control {
  public:
    using Control::Control;
    // The virtual key in the low byte, HOTKEYF_ flags in the high byte; 0 when empty.
    WORD Combination() const;
    void Clear() const;
};

} // namespace tervane
