#include "service/RemoteAccess.h"

#include "protocol/ServiceProtocol.h"

#include <nlohmann/json.hpp>

#include <cctype>

namespace tervane::service {
namespace {

namespace proto = tervane::protocol;

// Fields looked through for api_key in a query or a form; more are not looked at (the
// faces refuse such forms anyway).
constexpr std::size_t kMaxKeyFields = 64;

std::string LowerMediaType(std::string_view value) {
    std::string lower;
    for (char c : value.substr(0, value.find(';'))) {
        if (c != ' ' && c != '\t')
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

std::string FormKey(std::string_view form) {
    const proto::FormParse parsed = proto::ParseForm(form, kMaxKeyFields);
    for (const auto& [name, value] : parsed.fields) {
        if (name == "api_key")
            return value;
    }
    return "";
}

bool WantsJson(const HttpRequest& request) {
    const auto type = request.Header("Content-Type");
    return type && LowerMediaType(*type) == "application/json";
}

// The program's shape (the reason phrase, and the same text as the body), or
// LibreTranslate's {"error": ...} for a client that sent JSON.
HttpResponse Refusal(const HttpRequest& request, const Error& error) {
    HttpResponse response = ErrorResponse(error);
    if (WantsJson(request)) {
        response.contentType = "application/json";
        response.body = nlohmann::json{{"error", error.reason}}.dump() + "\n";
    }
    return response;
}

} // namespace

std::string RequestApiKey(const HttpRequest& request) {
    if (const auto authorization = request.Header("Authorization");
        authorization && StartsWithIgnoreCase(*authorization, "Bearer ")) {
        std::string_view key = authorization->substr(7);
        while (!key.empty() && key.front() == ' ')
            key.remove_prefix(1);
        return std::string(key);
    }
    if (const std::size_t query = request.target.find('?'); query != std::string::npos) {
        if (std::string key = FormKey(std::string_view(request.target).substr(query + 1));
            !key.empty())
            return key;
    }
    const auto type = request.Header("Content-Type");
    if (!type)
        return "";
    const std::string media = LowerMediaType(*type);
    if (media == proto::kRequestContentType)
        return FormKey(request.body);
    if (media == "application/json") {
        const auto json = nlohmann::json::parse(request.body, nullptr, false);
        if (json.is_object() && json.contains("api_key") && json["api_key"].is_string())
            return json["api_key"].get<std::string>();
    }
    return "";
}

RemoteAccess::RemoteAccess(std::unique_ptr<ApiKeys> keys, std::size_t perMinute)
    : keys_(std::move(keys)), perMinute_(perMinute) {
    if (perMinute_ != 0)
        limiter_.emplace(perMinute_);
}

std::optional<HttpResponse> RemoteAccess::Check(const HttpRequest& request) {
    if (IsLoopbackAddress(request.peer) && !request.Header("Origin"))
        return std::nullopt;
    std::vector<std::string> clients{"address " + request.peer};
    const std::string key = keys_ ? RequestApiKey(request) : "";
    const bool keyValid = keys_ && keys_->Accepts(key);
    if (keyValid)
        clients.push_back("key " + key);
    // Attempts with a wrong key count against the address too: guessing is rate-limited.
    if (limiter_) {
        if (const long wait = limiter_->Take(clients); wait > 0) {
            HttpResponse response =
                Refusal(request,
                        Error{429, "Too many requests: the limit is " + std::to_string(perMinute_) +
                                       " a minute; try again in " + std::to_string(wait) + " s"});
            response.headers.emplace_back("Retry-After", std::to_string(wait));
            return response;
        }
    }
    if (!keys_ || keyValid)
        return std::nullopt;
    return Refusal(request,
                   Error{403, key.empty() ? "An API key is required for requests from other "
                                            "machines: send Authorization: Bearer KEY, or "
                                            "api_key in the query or the body"
                                          : "The API key is not valid for this service"});
}

} // namespace tervane::service
