#pragma once
// Makes the main window's controls as the window was designed: each with its class,
// caption, style and place, in the form's font. Places are written in 96-DPI pixels and
// made at the window's DPI. Creation order is the keyboard (tab) order.
#include "app/ControlIds.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

namespace tervane {

// One control: its class, caption, style and place in its parent's client area.
struct ControlSpec {
    const wchar_t* windowClass;
    const char* caption;
    DWORD style;
    RECT place; // left, top, width, height
    DWORD exStyle = 0;
};

// Every control made, with its place as designed, so that a new DPI places each one anew
// from its design (never from its place at the old DPI, which would drift by rounding).
class PanelLayout {
  public:
    // A label's size follows its text: only its left and top are designed.
    void Add(HWND control, RECT designedPlace, bool isLabel);
    // Each control at its designed place scaled to `dpi`, in `font`; labels measured again.
    void ApplyDpi(int dpi, HFONT font) const;

  private:
    struct Placed {
        HWND control;
        RECT place; // left, top, width, height at 96 DPI
        bool isLabel;
    };
    std::vector<Placed> controls_;
};

class PanelBuilder {
  public:
    // `window` is the main window, where a group's controls' notifications go; `layout`
    // (which must outlive the builder) records each control made.
    PanelBuilder(HWND window, HFONT font, int dpi, PanelLayout& layout)
        : window_(window), font_(font), dpi_(dpi), layout_(layout) {}

    HWND Window() const { return window_; }
    int Dpi() const { return dpi_; }
    // A length of the design at the window's DPI.
    int Scale(int length) const;
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
    HWND MakeAt(HWND parent, ControlId id, const ControlSpec& spec, bool isLabel) const;

    HWND window_;
    HFONT font_;
    int dpi_;
    PanelLayout& layout_;
};

// A label is as large as its text, as a label that sizes itself to its caption.
void SetLabelText(HWND label, const char* text);
// The label's size made that of its text in its font.
void SizeLabelToText(HWND label);

// A group box's own handling: hands its children's notifications on to `window` (the
// DWORD_PTR reference data of the subclass) and paints its whole area. For groups that
// handle more (the "Language" group), their own subclass ends by calling it.
LRESULT GroupMessage(HWND group, UINT msg, WPARAM wp, LPARAM lp, HWND window);

} // namespace tervane
