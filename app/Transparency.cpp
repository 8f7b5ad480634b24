#include "app/Transparency.h"

#include <algorithm>

namespace tervane {

std::optional<std::uint8_t> OpacityForSlider(int position) {
    if (position == kSliderMax)
        return std::nullopt;
    return static_cast<std::uint8_t>(std::clamp(16 * position, 1, 254));
}

} // namespace tervane
