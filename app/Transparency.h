#pragma once
// How the transparency slider's position becomes the main window's opacity.
#include <cstdint>
#include <optional>

namespace tervane {

// The transparency slider's range: 4 the most transparent, 16 opaque.
inline constexpr int kSliderMin = 4;
inline constexpr int kSliderMax = 16;

// The opacity (1..254, in the system's 0..255 terms) for a slider position: 16 times the
// position, kept inside 1..254; nothing at the slider's maximum, where the window is not
// transparent at all (rather than drawn at 16 times 16).
std::optional<std::uint8_t> OpacityForSlider(int position);

} // namespace tervane
