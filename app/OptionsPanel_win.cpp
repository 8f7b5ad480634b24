#include "app/OptionsPanel_win.h"

#include "base/Dpi.h"
#include "base/WideText_win.h"
#include "translate/TranslationLog_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <stdexcept>

namespace tervane {

OptionsPanel::OptionsPanel() {
    controller_.onChanged = [this] { ShowController(); };
}

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
    slider_.SetPosition(controller_.SliderPosition());
    ScaleTo(build.Dpi());

    optionsGroup_ = build.Group(OptionsGroup, "Options", {264, 168, 201, 100});
    freezeBox_ =
        CheckBox(build.CheckBox(optionsGroup_, FreezeBox, "Freeze && wait for translation result",
                                {8, 21, 185, 17}, WS_GROUP));
    freezeBox_.SetChecked(controller_.IsOn(Option::Freeze));
    copyToClipboardBox_ =
        CheckBox(build.CheckBox(optionsGroup_, CopyToClipboardBox,
                                "Copy translation result to clipboard", {8, 45, 188, 17}));
    logToFileBox_ = CheckBox(build.CheckBox(optionsGroup_, LogToFileBox,
                                            "Log translation results to file", {8, 69, 153, 17}));
    build.Button(optionsGroup_, ViewLogButton, "...", {164, 63, 23, 23});
}

void OptionsPanel::ScaleTo(int dpi) const {
    SendMessageW(slider_.Handle(), TBM_SETTHUMBLENGTH, ScaleToDpi(16, dpi), 0);
}

bool OptionsPanel::OnCommand(ControlId id, int notification) {
    const bool clicked = notification == BN_CLICKED;
    switch (id) {
    case ControlId::FreezeBox:
    case ControlId::CopyToClipboardBox:
    case ControlId::LogToFileBox:
        if (clicked) {
            const Option option = id == ControlId::FreezeBox            ? Option::Freeze
                                  : id == ControlId::CopyToClipboardBox ? Option::CopyToClipboard
                                                                        : Option::LogToFile;
            controller_.SetOption(option, Box(option).Checked());
        }
        return true;
    case ControlId::ViewLogButton:
        if (clicked)
            OnViewLog();
        return true;
    default:
        return false;
    }
}

// The slider reports every move (a drag, a key, a click on its track); the controller
// changes the transparency only for a new position.
bool OptionsPanel::OnScroll(HWND control) {
    if (!slider_.Is(control))
        return false;
    controller_.MoveSlider(slider_.Position());
    return true;
}

// The controls show the controller's state (the store changes it too).
void OptionsPanel::ShowController() {
    if (!slider_.Handle())
        return; // not created yet
    if (slider_.Position() != controller_.SliderPosition())
        slider_.SetPosition(controller_.SliderPosition());
    for (const Option option : {Option::Freeze, Option::CopyToClipboard, Option::LogToFile}) {
        if (Box(option).Checked() != controller_.IsOn(option))
            Box(option).SetChecked(controller_.IsOn(option));
    }
    if (onChanged)
        onChanged();
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

void OptionsPanel::ApplyOpacity(std::optional<std::uint8_t> opacity) {
    const LONG_PTR exStyle = GetWindowLongPtrW(window_, GWL_EXSTYLE);
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

void OptionsPanel::CreateLogWithBanner() {
    tervane::CreateLogWithBanner();
}

// The log in the system's text editor; the editor itself says when there is no file.
void OptionsPanel::OnViewLog() {
    ShellExecuteW(nullptr, L"open", L"notepad.exe", Widen(TranslationLogPath()).c_str(), nullptr,
                  SW_SHOWNORMAL);
}

} // namespace tervane
