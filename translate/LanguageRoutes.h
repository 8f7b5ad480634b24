#pragma once
// Which languages the translation service can translate into from which: its GET /languages
// listing, read once per change of the source language, so that the target picker can show
// the languages it has no route to as such.
#include "net/HttpClient.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace tervane {

class LanguageRoutes {
  public:
    // Whether the listing names a route from `source` to `target`, codes in either case
    // ("ZH-TW" or "zh-tw"). A language reaches itself: the service gives the text back.
    bool Reaches(std::string_view source, std::string_view target) const;

    // Each source code, in lower case, with the lower-case codes it translates into.
    std::map<std::string, std::set<std::string>> targets;
};

// The routes of a /languages answer ({"languages":[{"code":"fr","targets":[{"code":"en",
// ...},...]},...], ...}); nothing when the text is not JSON of that shape.
std::optional<LanguageRoutes> ParseLanguageRoutes(std::string_view json);

// The listing's address beside the built-in translation address.
std::string LanguagesAddress();

// Asks the service at `address`; nothing when it does not answer (not running, an error
// status, a time-out) or answers something else.
std::optional<LanguageRoutes> RequestLanguageRoutes(HttpClient& http, std::string_view address);

} // namespace tervane
