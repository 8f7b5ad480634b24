#pragma once
// Names the program shows of itself.
#include <string>

namespace tervane {

inline constexpr const char* kApplicationTitle = "Tervane";
inline constexpr const char* kMainWindowCaption = "Tervane 5.1";
inline constexpr const char* kPublisher = "Vellmark";

// "Copyright © <year> Vellmark", the year as the user's clock shows it.
std::string CopyrightNotice();

} // namespace tervane
