#include "app/PanelBuilder_win.h"

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

HWND PanelBuilder::Make(HWND parent, ControlId id, const ControlSpec& spec) const {
    const RECT& p = spec.place;
    HWND control = CreateWindowExW(
        spec.exStyle, spec.windowClass, Widen(spec.caption).c_str(),
        WS_CHILD | WS_VISIBLE | spec.style, p.left, p.top, p.right, p.bottom, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!control)
        throw std::runtime_error(std::string("Cannot create the control ") + spec.caption);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
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
    HWND label = Make(window_, id, {WC_STATICW, "", SS_LEFT | SS_NOPREFIX, {left, top, 0, 0}});
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
    const std::wstring w = Widen(text);
    SetWindowTextW(label, w.c_str());
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
}

} // namespace tervane
