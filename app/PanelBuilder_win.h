#pragma once
// Makes the main window's controls as the window was designed: each with its class,
// caption, style and place, in the form's font. Creation order is the keyboard (tab) order.
#include "app/ControlIds.h"

#include <windows.h>
#include <commctrl.h>

namespace tervane {

// One control: its class, caption, style and place in its parent's client area.
struct ControlSpec {
    const wchar_t* windowClass;
    const char* caption;
    DWORD style;
    RECT place; // left, top, width, height
    DWORD exStyle = 0;
};

class PanelBuilder {
  public:
    // `window` is the main window, where a group's controls' notifications go.
    PanelBuilder(HWND window, HFONT font) : window_(window), font_(font) {}

    HWND Window() const { return window_; }
    HWND Make(HWND parent, ControlId id, const ControlSpec& spec) const;
    // A group box that is the parent of the controls inside it and hands their
    // notifications on to the main window; `handler` replaces that handling for a group
    // that does more (and ends with GroupMessage).
    HWND Group(ControlId id, const char* caption, RECT place, SUBCLASSPROC handler = nullptr) const;
    // A label as large as its text.
    HWND Label(ControlId id, const char* text, int left, int top) const;
    HWND Button(HWND parent, ControlId id, const char* caption, RECT place, DWORD style = 0) const;
    HWND CheckBox(HWND parent, ControlId id, const char* caption, RECT place,
                  DWORD style = 0) const;

  private:
    HWND window_;
    HFONT font_;
};

// A label is as large as its text, as a label that sizes itself to its caption.
void SetLabelText(HWND label, const char* text);

// A group box's own handling: hands its children's notifications on to `window` (the
// DWORD_PTR reference data of the subclass) and paints its whole area. For groups that
// handle more (the "Language" group), their own subclass ends by calling it.
LRESULT GroupMessage(HWND group, UINT msg, WPARAM wp, LPARAM lp, HWND window);

} // namespace tervane
