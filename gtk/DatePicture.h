#pragma once
// The log's time stamp takes the user's date and time formats as pictures ("dd/MM/yyyy",
// "HH:mm:ss"); the C library gives the locale's as strftime formats ("%d/%m/%Y",
// "%H:%M:%S"). This turns one into the other.
#include <string>
#include <string_view>

namespace tervane {

// The picture of a strftime format: %d dd, %e d, %m MM, %b/%h MMM, %B MMMM, %a ddd,
// %A dddd, %y yy, %Y yyyy, %H HH, %k H, %I hh, %l h, %M mm, %S ss, %p tt, and the
// combinations %D, %F, %T, %R, %r; other text is quoted so that its letters stand for
// themselves. A conversion the picture cannot say is left out.
std::string PictureOfStrftime(std::string_view format);

} // namespace tervane
