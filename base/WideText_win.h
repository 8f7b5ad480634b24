#pragma once
// Texts are UTF-8 inside the program; these two convert at the Win32 edge, where the
// wide (W) functions take UTF-16. Invalid input is replaced, never dropped silently.
#include <string>
#include <string_view>

namespace tervane {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

} // namespace tervane
