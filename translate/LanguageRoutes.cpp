#include "translate/LanguageRoutes.h"

#include "net/HttpUrl.h"
#include "protocol/Utf8.h"
#include "translate/ServiceExchange.h"

#include <nlohmann/json.hpp>

namespace tervane {

using protocol::ToLowerAscii;

bool LanguageRoutes::Reaches(std::string_view source, std::string_view target) const {
    const std::string from = ToLowerAscii(source);
    const std::string to = ToLowerAscii(target);
    if (from == to)
        return true;
    const auto found = targets.find(from);
    return found != targets.end() && found->second.count(to) != 0;
}

std::optional<LanguageRoutes> ParseLanguageRoutes(std::string_view json) {
    const nlohmann::json listing = nlohmann::json::parse(json, nullptr, false);
    if (!listing.is_object() || !listing.contains("languages") || !listing["languages"].is_array())
        return std::nullopt;
    LanguageRoutes routes;
    for (const nlohmann::json& language : listing["languages"]) {
        if (!language.is_object() || !language.contains("code") || !language["code"].is_string() ||
            !language.contains("targets") || !language["targets"].is_array())
            return std::nullopt;
        std::set<std::string>& reached =
            routes.targets[ToLowerAscii(language["code"].get<std::string>())];
        for (const nlohmann::json& target : language["targets"]) {
            if (!target.is_object() || !target.contains("code") || !target["code"].is_string())
                return std::nullopt;
            reached.insert(ToLowerAscii(target["code"].get<std::string>()));
        }
    }
    return routes;
}

std::string LanguagesAddress() {
    return ResolveHttpUrl(ServiceAddress(), "/languages");
}

std::optional<LanguageRoutes> RequestLanguageRoutes(HttpClient& http, std::string_view address) {
    try {
        return ParseLanguageRoutes(http.Get(address));
    } catch (const std::runtime_error&) {
        // Not answering is the service's usual state before it has started: the pickers
        // then show every language as they always did.
        return std::nullopt;
    }
}

} // namespace tervane
