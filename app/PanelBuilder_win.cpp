#include "app/PanelBuilder_win.h"

#include "base/Dpi.h"
#include "base/WideText_win.h"

#include <stdexcept>
#include <string>

namespace tervane {

namespace {

LRESULT CALLBACK GroupProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR window) {
    if (msg == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, GroupProc, 0);
    return GroupMessage(hwnd, msg, wp, lp, reinterpret_cast<HWND>(window));
}

} // namespace

LRESULT GroupMessage(HWND group, UINT msg, WPARAM wp, LPARAM lp, HWND window) {
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return SendMessageW(window, msg, wp, lp);
    case WM_PAINT: {
        // A group box paints only its frame and caption; as a parent it owns its area.
        RECT rc;
        GetClientRect(group, &rc);
        HDC dc = GetDC(group);
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        ReleaseDC(group, dc);
        break;
    }
    }
    return DefSubclassProc(group, msg, wp, lp);
}

namespace {

PixelRect Scaled(RECT place, int dpi) {
    return ScalePlace({place.left, place.top, place.right, place.bottom}, dpi);
}

} // namespace

void PanelLayout::Add(HWND control, RECT designedPlace, bool isLabel) {
    controls_.push_back({control, designedPlace, isLabel});
}

void PanelLayout::ApplyDpi(int dpi, HFONT font) const {
    for (const Placed& placed : controls_) {
        const PixelRect p = Scaled(placed.place, dpi);
        SendMessageW(placed.control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowPos(placed.control, nullptr, p.left, p.top, p.right, p.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE | (placed.isLabel ? SWP_NOSIZE : 0));
        if (placed.isLabel)
            SizeLabelToText(placed.control);
    }
}

int PanelBuilder::Scale(int length) const {
    return ScaleToDpi(length, dpi_);
}

HWND PanelBuilder::Make(HWND parent, ControlId id, const ControlSpec& spec) const {
    return MakeAt(parent, id, spec, false);
}

HWND PanelBuilder::MakeAt(HWND parent, ControlId id, const ControlSpec& spec, bool isLabel) const {
    const PixelRect p = Scaled(spec.place, dpi_);
    HWND control = CreateWindowExW(
        spec.exStyle, spec.windowClass, Widen(spec.caption).c_str(),
        WS_CHILD | WS_VISIBLE | spec.style, p.left, p.top, p.right, p.bottom, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!control)
        throw std::runtime_error(std::string("Cannot create the control ") + spec.caption);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    layout_.Add(control, spec.place, isLabel);
    return control;
}

HWND PanelBuilder::Group(ControlId id, const char* caption, RECT place,
                         SUBCLASSPROC handler) const {
    HWND group = Make(window_, id,
                      {WC_BUTTONW, caption, BS_GROUPBOX | WS_GROUP | WS_CLIPCHILDREN, place,
                       WS_EX_CONTROLPARENT});
    SetWindowSubclass(group, handler ? handler : GroupProc, 0,
                      reinterpret_cast<DWORD_PTR>(window_));
    return group;
}

HWND PanelBuilder::Label(ControlId id, const char* text, int left, int top) const {
    HWND label =
        MakeAt(window_, id, {WC_STATICW, "", SS_LEFT | SS_NOPREFIX, {left, top, 0, 0}}, true);
    SetLabelText(label, text);
    return label;
}

HWND PanelBuilder::Button(HWND parent, ControlId id, const char* caption, RECT place,
                          DWORD style) const {
    return Make(parent, id, {WC_BUTTONW, caption, BS_PUSHBUTTON | WS_TABSTOP | style, place});
}

HWND PanelBuilder::CheckBox(HWND parent, ControlId id, const char* caption, RECT place,
                            DWORD style) const {
    return Make(parent, id, {WC_BUTTONW, caption, BS_AUTOCHECKBOX | WS_TABSTOP | style, place});
}

void SetLabelText(HWND label, const char* text) {
    SetWindowTextW(label, Widen(text).c_str());
    SizeLabelToText(label);
}

void SizeLabelToText(HWND label) {
    std::wstring w(static_cast<size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
    w.resize(static_cast<size_t>(GetWindowTextW(label, w.data(), static_cast<int>(w.size()))));
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
}

} // namespace tervane
