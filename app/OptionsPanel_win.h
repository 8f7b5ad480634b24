#pragma once
// The groups "Transparency" and "Options": the slider that makes the window see-through,
// the three options of the translation and the log's "..." button.
#include "app/PanelBuilder_win.h"
#include "app/Settings.h"
#include "app/Transparency.h"
#include "base/Controls_win.h"

namespace tervane {

class OptionsPanel {
  public:
    void Create(const PanelBuilder& build);
    // Handles a notification of one of its controls; false when it is not one of them.
    bool OnCommand(ControlId id, int notification);
    // The slider's scroll message; false when `control` is not the slider.
    bool OnScroll(HWND control);
    void Show(bool show) const;

    const Slider& TransparencySlider() const { return slider_; }
    const CheckBox& Box(Option option) const;

    void OnTransparencyChange();
    void OnLogToFileClick();
    void OnViewLog();

  private:
    void OnSliderMoved();

    HWND window_ = nullptr; // the window the slider makes see-through
    HWND transparencyGroup_ = nullptr, optionsGroup_ = nullptr;
    Slider slider_;
    CheckBox freezeBox_, copyToClipboardBox_, logToFileBox_;
    // The slider position whose transparency is applied; the slider starts opaque.
    int sliderPosition_ = kSliderMax;
};

} // namespace tervane
