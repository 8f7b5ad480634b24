#include "app/MainWindowSettings_win.h"

#include "base/WideText_win.h"

namespace tervane {

namespace {

// What a control sends its parent when the user changed it; the group it sits in hands
// the notification on to the main window.
void Notify(HWND control, int notification) {
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), notification),
                 reinterpret_cast<LPARAM>(control));
}

void Select(HWND picker, std::int32_t position) {
    // A position outside the list leaves the picker without a selection. Windows clears
    // it for any such position; Wine only for -1, so every one is given as -1.
    const auto count = SendMessageW(picker, CB_GETCOUNT, 0, 0);
    const WPARAM index =
        position >= 0 && position < count ? static_cast<WPARAM>(position) : static_cast<WPARAM>(-1);
    SendMessageW(picker, CB_SETCURSEL, index, 0);
    Notify(picker, CBN_SELCHANGE);
}

int Position(HWND picker) {
    return static_cast<int>(SendMessageW(picker, CB_GETCURSEL, 0, 0));
}

} // namespace

Settings MainWindowSettings::Current() {
    Settings now;
    now.sourcePosition = Position(window_.Control(ControlId::SourcePicker));
    now.targetPosition = Position(window_.Control(ControlId::TargetPicker));
    now.sliderPosition = static_cast<int>(
        SendMessageW(window_.Control(ControlId::TransparencySlider), TBM_GETPOS, 0, 0));
    for (const Option option : {Option::Freeze, Option::CopyToClipboard, Option::LogToFile})
        now.Set(option, IsChecked(option));
    now.hotKeys = HotKeyLines();
    return now;
}

void MainWindowSettings::SelectSource(std::int32_t position) {
    Select(window_.Control(ControlId::SourcePicker), position);
}

void MainWindowSettings::SelectTarget(std::int32_t position) {
    Select(window_.Control(ControlId::TargetPicker), position);
}

void MainWindowSettings::MoveSlider(int position) {
    HWND slider = window_.Control(ControlId::TransparencySlider);
    SendMessageW(slider, TBM_SETPOS, TRUE, position);
    // The scroll message a slider sends when it was moved; the window applies the
    // transparency when the position is a new one.
    SendMessageW(GetParent(slider), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(slider));
}

HWND MainWindowSettings::Box(Option option) const {
    switch (option) {
    case Option::Freeze:
        return window_.Control(ControlId::FreezeBox);
    case Option::CopyToClipboard:
        return window_.Control(ControlId::CopyToClipboardBox);
    case Option::LogToFile:
        break;
    }
    return window_.Control(ControlId::LogToFileBox);
}

bool MainWindowSettings::IsChecked(Option option) const {
    return SendMessageW(Box(option), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindowSettings::SetChecked(Option option, bool checked) {
    if (IsChecked(option) == checked)
        return;
    HWND box = Box(option);
    SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    Notify(box, BN_CLICKED);
}

std::vector<std::string> MainWindowSettings::HotKeyLines() const {
    HWND list = window_.Control(ControlId::HotKeyList);
    std::vector<std::string> lines;
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring line(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(line.data()));
        line.resize(wcsnlen(line.c_str(), line.size()));
        lines.push_back(Narrow(line));
    }
    return lines;
}

bool MainWindowSettings::SameIgnoringCase(std::string_view a, std::string_view b) {
    const std::wstring wideA = Widen(a), wideB = Widen(b);
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wideA.c_str(),
                          static_cast<int>(wideA.size()), wideB.c_str(),
                          static_cast<int>(wideB.size())) == CSTR_EQUAL;
}

void MainWindowSettings::AddHotKeyToList(std::uint32_t hotKey) {
    window_.AddHotKeyToList(hotKey);
}

} // namespace tervane
