// UTF-8 checks for text that goes on to a pipeline or a remote server.
#pragma once

#include <string_view>

namespace tervane::service {

// True when text is well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool IsValidUtf8(std::string_view text);

} // namespace tervane::service
