#pragma once
// The groups "Transparency" and "Options": the slider that makes the window see-through,
// the three options of the translation and the log's "..." button; a view over the
// options' rules (app/OptionsController), which make the window layered and create the log.
#include "app/OptionsController.h"
#include "app/PanelBuilder_win.h"
#include "base/Controls_win.h"

#include <functional>

namespace tervane {

class OptionsPanel final : private OptionsDesktop {
  public:
    OptionsPanel();

    void Create(const PanelBuilder& build);
    // The slider's thumb at a new DPI (the layout moves the rest).
    void ScaleTo(int dpi) const;
    // Handles a notification of one of its controls; false when it is not one of them.
    bool OnCommand(ControlId id, int notification);
    // The slider's scroll message; false when `control` is not the slider.
    bool OnScroll(HWND control);
    void Show(bool show) const;

    OptionsController& Controller() { return controller_; }
    const Slider& TransparencySlider() const { return slider_; }
    const CheckBox& Box(Option option) const;

    void OnViewLog();

    // Called after the slider or an option changed.
    std::function<void()> onChanged;

  private:
    void ApplyOpacity(std::optional<std::uint8_t> opacity) override;
    void CreateLogWithBanner() override;
    void ShowController();

    OptionsController controller_{*this};
    HWND window_ = nullptr; // the window the slider makes see-through
    HWND transparencyGroup_ = nullptr, optionsGroup_ = nullptr;
    Slider slider_;
    CheckBox freezeBox_, copyToClipboardBox_, logToFileBox_;
};

} // namespace tervane
