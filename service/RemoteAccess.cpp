#include "service/RemoteAccess.h"

#include "protocol/Utf8.h"
#include "service/faces/FaceArguments.h"
#include "service/faces/FaceTable.h"
#include "service/http/RateLimiter.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>

namespace tervane::service {
namespace {

namespace proto = tervane::protocol;

// What lists what the service offers: open to every machine (within its address's rate), as
// LibreTranslate's own server keeps its language list, which its clients ask for without
// their key. Everything that translates needs a key.
// LibreTranslate's clients also read its /spec and /frontend/settings before they have a key,
// to learn whether they need one.
constexpr std::array<std::string_view, 6> kListingPaths = {
    "/languages", "/health", "/listPairs", "/listLanguageNames", "/spec", "/frontend/settings"};

std::string KeyOf(const HttpRequest& request) {
    if (const auto authorization = request.Header("Authorization");
        authorization && proto::ToLowerAscii(authorization->substr(0, 7)) == "bearer ") {
        std::string_view key = authorization->substr(7);
        while (!key.empty() && key.front() == ' ')
            key.remove_prefix(1);
        return std::string(key);
    }
    if (const auto arguments = ReadArguments(request)) {
        if (auto key = LastArgument(*arguments, "api_key"))
            return *std::move(key);
    }
    if (RequestMediaType(request) == "application/json") {
        const auto json = nlohmann::json::parse(request.body, nullptr, false);
        if (json.is_object() && json.contains("api_key") && json["api_key"].is_string())
            return json["api_key"].get<std::string>();
    }
    return "";
}

} // namespace

RemoteAccess::RemoteAccess(std::unique_ptr<ApiKeys> keys, std::size_t perMinute,
                           std::unique_ptr<RateStorage> rates)
    : keys_(std::move(keys)), perMinute_(perMinute), limiter_(std::move(rates)) {
    if (perMinute_ != 0 && !limiter_)
        limiter_ = std::make_unique<RateLimiter>(perMinute_);
}

std::optional<RateStorageState> RemoteAccess::RateState() {
    if (!limiter_)
        return std::nullopt;
    return limiter_->State();
}

std::optional<HttpResponse> RemoteAccess::Check(const HttpRequest& request) {
    if (IsLoopbackAddress(request.peer) && !request.Header("Origin"))
        return std::nullopt;
    std::vector<std::string> clients{RateClientOfAddress(request.peer)};
    const std::string key = keys_ ? KeyOf(request) : "";
    const bool keyValid = keys_ && keys_->Accepts(key);
    if (keyValid)
        clients.push_back("key " + key);
    // Attempts with a wrong key count against the address too: guessing is rate-limited.
    if (limiter_) {
        if (const long wait = limiter_->Take(clients); wait > 0) {
            HttpResponse response = ClaimingFace(request).refusal(
                Error{429, "Too many requests: the limit is " + std::to_string(perMinute_) +
                               " a minute; try again in " + std::to_string(wait) + " s"});
            response.headers.emplace_back("Retry-After", std::to_string(wait));
            return response;
        }
    }
    const bool listing = (request.method == "GET" || request.method == "HEAD") &&
                         std::find(kListingPaths.begin(), kListingPaths.end(), request.Path()) !=
                             kListingPaths.end();
    if (!keys_ || keyValid || listing)
        return std::nullopt;
    return ClaimingFace(request).refusal(
        Error{403, std::string(key.empty() ? kKeyMissingReason : kKeyInvalidReason)});
}

} // namespace tervane::service
