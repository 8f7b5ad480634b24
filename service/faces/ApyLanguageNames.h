// Languages' names in English for APy's /listLanguageNames: every language of the program's
// table and every pivot Debian's Apertium pairs bring, keyed as APy's own names are (its
// ISO 639-1 code where one exists, else the ISO 639-3 one).
#pragma once

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace tervane::service {

// The name of a language as an APy client names it ("fr", "fra", "cat_valencia" is not a
// language); nullopt when unknown.
std::optional<std::string_view> ApyLanguageName(std::string_view code);

// Every name known, with its key.
const std::vector<std::pair<std::string_view, std::string_view>>& ApyLanguageNames();

} // namespace tervane::service
