#pragma once
// The fixed table of the 54 languages both pickers offer, in picker order. Each row has
// the display name the picker shows and the log records, and the service code the
// translation request sends. Rows 6 and 15 are both Dutch: both stay selectable.
#include <array>
#include <optional>
#include <string_view>

struct Language {
    std::string_view name;
    std::string_view code;
};

inline constexpr int kLanguageCount = 54;
inline constexpr int kInitialSourcePosition = 1; // French
inline constexpr int kInitialTargetPosition = 0; // English

const std::array<Language, kLanguageCount>& LanguageTable();

// The code of row `position`, or nothing when the position is outside the table
// (no selection, or a damaged stored position).
std::optional<std::string_view> LanguageCodeAt(int position);
