#include "base/Controls_win.h"

#include "base/WideText_win.h"

namespace tervane {

LRESULT Control::Send(UINT msg, WPARAM wp, LPARAM lp) const {
    return SendMessageW(handle_, msg, wp, lp);
}

void Control::NotifyParent(int notification) const {
    SendMessageW(GetParent(handle_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(handle_), notification),
                 reinterpret_cast<LPARAM>(handle_));
}

bool CheckBox::Checked() const {
    return Send(BM_GETCHECK) == BST_CHECKED;
}

void CheckBox::SetChecked(bool checked) const {
    Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

void CheckBox::ClickTo(bool checked) const {
    if (Checked() == checked)
        return;
    SetChecked(checked);
    NotifyParent(BN_CLICKED);
}

void Picker::AddText(std::string_view text) const {
    Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

int Picker::Count() const {
    return static_cast<int>(Send(CB_GETCOUNT));
}

int Picker::Position() const {
    return static_cast<int>(Send(CB_GETCURSEL));
}

void Picker::Select(int position) const {
    const bool inside = position >= 0 && position < Count();
    Send(CB_SETCURSEL, inside ? static_cast<WPARAM>(position) : static_cast<WPARAM>(-1));
}

void Picker::SelectAsUser(int position) const {
    Select(position);
    NotifyParent(CBN_SELCHANGE);
}

std::string Picker::SelectedText() const {
    const int position = Position();
    if (position < 0)
        return {};
    const auto length = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(position));
    if (length <= 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    Send(CB_GETLBTEXT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return Narrow(text);
}

void Picker::Redraw() const {
    InvalidateRect(handle_, nullptr, TRUE);
}

void Slider::SetRange(int low, int high) const {
    Send(TBM_SETRANGE, TRUE, MAKELPARAM(low, high));
}

int Slider::Position() const {
    return static_cast<int>(Send(TBM_GETPOS));
}

void Slider::SetPosition(int position) const {
    Send(TBM_SETPOS, TRUE, position);
}

void Slider::MoveAsUser(int position) const {
    SetPosition(position);
    SendMessageW(GetParent(handle_), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(handle_));
}

void ListBox::AddLine(std::string_view text, std::uint32_t data) const {
    const auto line = Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
    Send(LB_SETITEMDATA, static_cast<WPARAM>(line), static_cast<LPARAM>(data));
}

int ListBox::Selected() const {
    const auto line = Send(LB_GETCURSEL);
    return line == LB_ERR ? -1 : static_cast<int>(line);
}

std::uint32_t ListBox::DataAt(int line) const {
    return static_cast<std::uint32_t>(Send(LB_GETITEMDATA, static_cast<WPARAM>(line)));
}

void ListBox::DeleteLine(int line) const {
    Send(LB_DELETESTRING, static_cast<WPARAM>(line));
}

void ListBox::Clear() const {
    Send(LB_RESETCONTENT);
}

std::vector<std::string> ListBox::Lines() const {
    std::vector<std::string> lines;
    const auto count = Send(LB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = Send(LB_GETTEXTLEN, static_cast<WPARAM>(i));
        std::wstring line(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
        Send(LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line.data()));
        line.resize(wcsnlen(line.c_str(), line.size()));
        lines.push_back(Narrow(line));
    }
    return lines;
}

WORD HotKeyBox::Combination() const {
    return static_cast<WORD>(Send(HKM_GETHOTKEY));
}

void HotKeyBox::Clear() const {
    Send(HKM_SETHOTKEY);
}

} // namespace tervane
