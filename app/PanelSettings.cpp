#include "app/PanelSettings.h"

namespace tervane {

Settings PanelSettings::Current() {
    Settings now;
    now.sourcePosition = languages_.SourcePosition();
    now.targetPosition = languages_.TargetPosition();
    now.sliderPosition = options_.SliderPosition();
    for (const Option option : {Option::Freeze, Option::CopyToClipboard, Option::LogToFile})
        now.Set(option, options_.IsOn(option));
    now.hotKeys = hotKeys_.LineSettings();
    return now;
}

} // namespace tervane
