#pragma once
// The tooltip a notification-area icon shows: what the shell's record can hold of the hint.
#include <cstddef>
#include <string>
#include <string_view>

namespace tervane {

// The record holds 128 UTF-16 units, the last of them the ending zero.
constexpr std::size_t kTrayIconTipLength = 127;

// The tip for `hint` (UTF-8): its first kTrayIconTipLength UTF-16 units, never splitting a
// character; empty when `showHint` is off.
std::string TrayIconTip(std::string_view hint, bool showHint);

} // namespace tervane
