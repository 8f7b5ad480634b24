#pragma once
// The fixed table of the 54 languages both pickers offer, in picker order, shared by the
// program and the service. Each row has the display name the picker shows and the log
// records, the code as the table lists it ("ZH-TW") and the same code in the lower case
// the service protocol sends ("zh-tw"). Rows 6 and 15 are both Dutch: both stay selectable.
#include <array>
#include <optional>
#include <string_view>

namespace tervane::protocol {

struct Language {
    std::string_view name;
    std::string_view code;        // as the table lists it: "FR", "ZH-TW"
    std::string_view serviceCode; // as the request sends it: "fr", "zh-tw"
};

inline constexpr int kLanguageCount = 54;
inline constexpr int kInitialSourcePosition = 1; // French
inline constexpr int kInitialTargetPosition = 0; // English

const std::array<Language, kLanguageCount>& LanguageTable();

// The code of row `position`, or nothing when the position is outside the table
// (no selection, or a damaged stored position).
std::optional<std::string_view> LanguageCodeAt(int position);

// The row of a lower-case service code, or nullptr when the code is not one of ours.
const Language* FindLanguage(std::string_view serviceCode);

} // namespace tervane::protocol
