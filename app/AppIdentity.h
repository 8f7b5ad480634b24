#pragma once
// Names the program shows of itself.
inline constexpr const char* kApplicationTitle = "Tervane";
inline constexpr const char* kMainWindowCaption = "Tervane 5.1";
inline constexpr const char* kCopyrightLine = "Copyright (c) 2026 Vellmark. All rights reserved.";
