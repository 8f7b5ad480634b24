#pragma once
// The "Transparency" and "Options" groups' rules, once for every front end: the slider's
// position and the window's opacity it gives (app/Transparency), the three options, and the
// log created with its banner when logging is switched on.
#include "app/Settings.h"
#include "app/Transparency.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace tervane {

// What the options change outside the window's controls.
class OptionsDesktop {
  public:
    virtual ~OptionsDesktop() = default;
    // The main window at this opacity (1..254 of 255), or opaque for nothing.
    virtual void ApplyOpacity(std::optional<std::uint8_t> opacity) = 0;
    // Creates the translation log with its banner when there is no file yet; throws the
    // system's reason when it cannot.
    virtual void CreateLogWithBanner() = 0;
};

class OptionsController {
  public:
    // `desktop` must outlive the controller. The slider starts at its maximum (opaque),
    // Freeze on, the other two off.
    explicit OptionsController(OptionsDesktop& desktop) : desktop_(desktop) {}

    int SliderPosition() const { return slider_; }
    bool IsOn(Option option) const { return options_.IsOn(option); }

    // The slider moved (a drag, a key, the store): kept inside 4..16; a new position applies
    // its transparency, the same one again changes nothing.
    void MoveSlider(int position);
    // A box clicked (or set by the store): a new state is kept and, for "Log translation
    // results to file" switched on, the log is created when missing. The same state again
    // changes nothing. A log that cannot be created throws; the option stays on.
    void SetOption(Option option, bool on);

    // Called after the slider or an option changed.
    std::function<void()> onChanged;

  private:
    OptionsDesktop& desktop_;
    int slider_ = kSliderMax;
    Settings options_; // only its three options are used
};

} // namespace tervane
