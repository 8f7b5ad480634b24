#include "app/OptionsController.h"

#include <algorithm>

namespace tervane {

void OptionsController::MoveSlider(int position) {
    position = std::clamp(position, kSliderMin, kSliderMax);
    if (position == slider_)
        return;
    slider_ = position;
    if (onChanged)
        onChanged();
    desktop_.ApplyOpacity(OpacityForSlider(position));
}

// Switching logging off leaves the file alone.
void OptionsController::SetOption(Option option, bool on) {
    if (options_.IsOn(option) == on)
        return;
    options_.Set(option, on);
    if (onChanged)
        onChanged();
    if (option == Option::LogToFile && on)
        desktop_.CreateLogWithBanner();
}

} // namespace tervane
