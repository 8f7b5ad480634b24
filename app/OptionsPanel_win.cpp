#include "app/OptionsPanel_win.h"

#include "base/WideText_win.h"
#include "translate/TranslationLog_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <stdexcept>

namespace tervane {

void OptionsPanel::Create(const PanelBuilder& build) {
    using enum ControlId;
    window_ = build.Window();
    transparencyGroup_ = build.Group(TransparencyGroup, "Transparency", {264, 99, 201, 65});
    slider_ = Slider(build.Make(transparencyGroup_, ControlId::TransparencySlider,
                                {TRACKBAR_CLASSW,
                                 "",
                                 TBS_HORZ | TBS_AUTOTICKS | TBS_FIXEDLENGTH | WS_TABSTOP | WS_GROUP,
                                 {8, 24, 177, 33}}));
    slider_.SetRange(kSliderMin, kSliderMax);
    slider_.SetPosition(kSliderMax);
    SendMessageW(slider_.Handle(), TBM_SETTHUMBLENGTH, 16, 0);

    optionsGroup_ = build.Group(OptionsGroup, "Options", {264, 168, 201, 100});
    freezeBox_ =
        CheckBox(build.CheckBox(optionsGroup_, FreezeBox, "Freeze && wait for translation result",
                                {8, 21, 185, 17}, WS_GROUP));
    freezeBox_.SetChecked(true);
    copyToClipboardBox_ =
        CheckBox(build.CheckBox(optionsGroup_, CopyToClipboardBox,
                                "Copy translation result to clipboard", {8, 45, 188, 17}));
    logToFileBox_ = CheckBox(build.CheckBox(optionsGroup_, LogToFileBox,
                                            "Log translation results to file", {8, 69, 153, 17}));
    build.Button(optionsGroup_, ViewLogButton, "...", {164, 63, 23, 23});
}

bool OptionsPanel::OnCommand(ControlId id, int notification) {
    switch (id) {
    case ControlId::LogToFileBox:
        if (notification == BN_CLICKED)
            OnLogToFileClick();
        return true;
    case ControlId::ViewLogButton:
        if (notification == BN_CLICKED)
            OnViewLog();
        return true;
    case ControlId::FreezeBox:
    case ControlId::CopyToClipboardBox:
        return true; // read when a translation runs
    default:
        return false;
    }
}

bool OptionsPanel::OnScroll(HWND control) {
    if (!slider_.Is(control))
        return false;
    OnSliderMoved();
    return true;
}

void OptionsPanel::Show(bool show) const {
    for (HWND group : {transparencyGroup_, optionsGroup_})
        ShowWindow(group, show ? SW_SHOW : SW_HIDE);
}

const CheckBox& OptionsPanel::Box(Option option) const {
    switch (option) {
    case Option::Freeze:
        return freezeBox_;
    case Option::CopyToClipboard:
        return copyToClipboardBox_;
    case Option::LogToFile:
        break;
    }
    return logToFileBox_;
}

// The slider reports every move (a drag, a key, a click on its track, or the settings
// load); the transparency changes only when the position is a new one.
void OptionsPanel::OnSliderMoved() {
    const int position = slider_.Position();
    if (position == sliderPosition_)
        return;
    sliderPosition_ = position;
    OnTransparencyChange();
}

void OptionsPanel::OnTransparencyChange() {
    const LONG_PTR exStyle = GetWindowLongPtrW(window_, GWL_EXSTYLE);
    const std::optional<std::uint8_t> opacity = OpacityForSlider(slider_.Position());
    if (!opacity) {
        SetWindowLongPtrW(window_, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
        // A window that stops being layered is drawn again as an ordinary one.
        RedrawWindow(window_, nullptr, nullptr,
                     RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
        return;
    }
    SetWindowLongPtrW(window_, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    if (!SetLayeredWindowAttributes(window_, 0, *opacity, LWA_ALPHA))
        throw std::runtime_error("Cannot make the window transparent");
}

// Switching logging on creates the log with its banner when there is none; switching it
// off leaves the file alone.
void OptionsPanel::OnLogToFileClick() {
    if (logToFileBox_.Checked())
        CreateLogWithBanner();
}

// The log in the system's text editor; the editor itself says when there is no file.
void OptionsPanel::OnViewLog() {
    ShellExecuteW(nullptr, L"open", L"notepad.exe", Widen(TranslationLogPath()).c_str(), nullptr,
                  SW_SHOWNORMAL);
}

} // namespace tervane
