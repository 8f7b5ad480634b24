#include "service/RemoteAccess.h"

#include "protocol/ServiceProtocol.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cctype>

namespace tervane::service {
namespace {

namespace proto = tervane::protocol;

using Fields = std::vector<std::pair<std::string, std::string>>;

// Fields looked through in a query or a form; more are not looked at (the faces refuse such
// forms anyway).
constexpr std::size_t kMaxFields = 64;

// What lists what the service offers: open to every machine (within its address's rate), as
// LibreTranslate's own server keeps its language list, which its clients ask for without
// their key. Everything that translates needs a key.
constexpr std::array<std::string_view, 4> kListingPaths = {"/languages", "/health", "/listPairs",
                                                           "/listLanguageNames"};
constexpr std::array<std::string_view, 2> kApyPaths = {"/listPairs", "/translateChain"};

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

template <std::size_t N>
bool OneOf(std::string_view value, const std::array<std::string_view, N>& values) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

std::string MediaType(const HttpRequest& request) {
    const auto type = request.Header("Content-Type");
    return type ? LowerMediaType(*type) : "";
}

// The query's fields, then a form body's.
Fields Parameters(const HttpRequest& request) {
    Fields fields;
    if (const std::size_t query = request.target.find('?'); query != std::string::npos)
        fields =
            proto::ParseForm(std::string_view(request.target).substr(query + 1), kMaxFields).fields;
    if (MediaType(request) == proto::kRequestContentType) {
        Fields form = proto::ParseForm(request.body, kMaxFields).fields;
        fields.insert(fields.end(), form.begin(), form.end());
    }
    return fields;
}

const std::string* Find(const Fields& fields, std::string_view name) {
    for (const auto& [field, value] : fields) {
        if (field == name)
            return &value;
    }
    return nullptr;
}

enum class Face { Program, Apy, LibreTranslate };

// Whose client sent the request, told apart as its clients send them: APy's by its paths and
// langpair, LibreTranslate's by JSON, /detect or q; the rest is the program's.
Face RequestFace(const HttpRequest& request, const Fields& fields) {
    if (OneOf(request.Path(), kApyPaths) || Find(fields, "langpair") || Find(fields, "langpairs"))
        return Face::Apy;
    if (request.Path() == "/detect" || MediaType(request) == "application/json" ||
        Find(fields, "q"))
        return Face::LibreTranslate;
    return Face::Program;
}

// The refusal in the shape the request's client reads: the program's (the reason phrase, and
// the same text as the body), APy's {"status":"error",...} or LibreTranslate's {"error":...}.
HttpResponse Refusal(Face face, const Error& error) {
    HttpResponse response = ErrorResponse(error);
    nlohmann::json body;
    if (face == Face::Apy) {
        body = {{"status", "error"},
                {"code", error.status},
                {"message", std::string(StandardReason(error.status))},
                {"explanation", error.reason}};
    } else if (face == Face::LibreTranslate) {
        body = {{"error", error.reason}};
    } else {
        return response;
    }
    response.contentType = "application/json";
    response.body = body.dump() + "\n";
    return response;
}

std::string KeyOf(const HttpRequest& request, const Fields& fields) {
    if (const auto authorization = request.Header("Authorization");
        authorization && StartsWithIgnoreCase(*authorization, "Bearer ")) {
        std::string_view key = authorization->substr(7);
        while (!key.empty() && key.front() == ' ')
            key.remove_prefix(1);
        return std::string(key);
    }
    if (const std::string* key = Find(fields, "api_key"))
        return *key;
    if (MediaType(request) == "application/json") {
        const auto json = nlohmann::json::parse(request.body, nullptr, false);
        if (json.is_object() && json.contains("api_key") && json["api_key"].is_string())
            return json["api_key"].get<std::string>();
    }
    return "";
}

} // namespace

RemoteAccess::RemoteAccess(std::unique_ptr<ApiKeys> keys, std::size_t perMinute)
    : keys_(std::move(keys)), perMinute_(perMinute) {
    if (perMinute_ != 0)
        limiter_.emplace(perMinute_);
}

std::optional<HttpResponse> RemoteAccess::Check(const HttpRequest& request) {
    if (IsLoopbackAddress(request.peer) && !request.Header("Origin"))
        return std::nullopt;
    const Fields fields = Parameters(request);
    std::vector<std::string> clients{"address " + request.peer};
    const std::string key = keys_ ? KeyOf(request, fields) : "";
    const bool keyValid = keys_ && keys_->Accepts(key);
    if (keyValid)
        clients.push_back("key " + key);
    // Attempts with a wrong key count against the address too: guessing is rate-limited.
    if (limiter_) {
        if (const long wait = limiter_->Take(clients); wait > 0) {
            HttpResponse response =
                Refusal(RequestFace(request, fields),
                        Error{429, "Too many requests: the limit is " + std::to_string(perMinute_) +
                                       " a minute; try again in " + std::to_string(wait) + " s"});
            response.headers.emplace_back("Retry-After", std::to_string(wait));
            return response;
        }
    }
    const bool listing = (request.method == "GET" || request.method == "HEAD") &&
                         OneOf(request.Path(), kListingPaths);
    if (!keys_ || keyValid || listing)
        return std::nullopt;
    return Refusal(RequestFace(request, fields),
                   Error{403, key.empty() ? "An API key is required for requests from other "
                                            "machines: send Authorization: Bearer KEY, or "
                                            "api_key in the query or the body"
                                          : "The API key is not valid for this service"});
}

} // namespace tervane::service
