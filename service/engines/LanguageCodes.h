// How the program's language codes are named by the engines behind the service.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tervane::service {

// The program's codes that an Apertium language code stands for ("fra" and "fr" are
// French, "hbs" is both Croatian and Serbian). A code with a variant ("por_BR") is matched
// whole first, then by its base. Empty when the language is not in the program's table.
std::vector<std::string_view> TableCodesForApertium(std::string_view apertiumCode);

// The languages an Apertium code stands for in routing: the program's codes when the
// language is in its table, otherwise the language itself as a possible pivot, named by
// its three-letter code ("eo" and "epo" are both "epo"). Empty for what is not a language
// code (a script transliterator's "Cyrl").
std::vector<std::string> RoutingNodesForApertium(std::string_view apertiumCode);

// True when an Apertium code carries a variant ("cat_valencia", "eng_US").
bool IsApertiumVariant(std::string_view apertiumCode);

// The three-letter Apertium code most pairs use for a program code ("fr" -> "fra"),
// for messages that name a package to install.
std::string_view PreferredApertiumCode(std::string_view tableCode);

// LibreTranslate's code for a program code ("iw" -> "he", "zh-tw" -> "zt").
std::string_view LibreTranslateCode(std::string_view tableCode);

// The program's codes for a LibreTranslate code; empty when it has none.
std::vector<std::string_view> TableCodesForLibreTranslate(std::string_view code);

} // namespace tervane::service
