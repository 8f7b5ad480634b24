#pragma once
// Names the program shows of itself.
#include <string>

inline constexpr const char* kApplicationTitle = "Tervane";
inline constexpr const char* kMainWindowCaption = "Tervane 5.1";
inline constexpr const char* kPublisher = "Vellmark";
// Registered at every start, before the stored hotkeys.
inline constexpr const char* kDefaultHotKeyText = "Ctrl+Shift+F12";

// "Copyright © <current year> Vellmark", for the main window's bottom line.
std::string CopyrightNotice();
