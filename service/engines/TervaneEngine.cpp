#include "service/engines/TervaneEngine.h"

#include "protocol/Languages.h"
#include "protocol/ServiceProtocol.h"
#include "protocol/WordsAnswer.h"
#include "service/engines/RemoteEngineSetup.h"

#include <nlohmann/json.hpp>

namespace tervane::service {
namespace {

namespace proto = tervane::protocol;

std::string Authorization(const std::string& apiKey) {
    return apiKey.empty() ? "" : "Bearer " + apiKey;
}

// The other service's own words for a refusal: its plain-text body, one line, bounded.
std::string Said(const std::string& body) {
    std::string line = body.substr(0, body.find('\n'));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    if (line.size() > 200)
        line = line.substr(0, 200) + "...";
    return line.empty() ? "no reason given" : line;
}

// What translates into what; apart from the engine, since a refresh may outlive it.
Result<PairListing> FetchTervanePairs(const RemoteUrl& url, const std::string& authorization,
                                      Clock::time_point deadline) {
    const Result<RemoteReply> answer =
        RemoteGet(url, "/languages", deadline, "Tervane service",
                  {authorization, std::string(proto::kProgramAccept)});
    if (!answer.Ok())
        return answer.Failure();
    const RemoteReply& reply = answer.Value();
    if (reply.status == 403 || reply.status == 429) {
        return Error{502, "the Tervane service at " + url.shown + " refused the language list (" +
                              std::to_string(reply.status) + "): " + Said(reply.body)};
    }
    const auto json = nlohmann::json::parse(reply.body, nullptr, false);
    if (reply.status != 200 || !json.is_object() || !json.contains("languages") ||
        !json["languages"].is_array()) {
        return Error{502, "the Tervane service at " + url.shown +
                              " gave no language list (status " + std::to_string(reply.status) +
                              ")"};
    }
    PairListing listing;
    for (const auto& language : json["languages"]) {
        if (!language.is_object() || !language.contains("code") || !language["code"].is_string() ||
            !language.contains("targets") || !language["targets"].is_array()) {
            continue;
        }
        const std::string from = language["code"];
        if (!proto::FindLanguage(from))
            continue;
        for (const auto& target : language["targets"]) {
            if (!target.is_object() || !target.contains("code") || !target["code"].is_string())
                continue;
            const std::string to = target["code"];
            if (proto::FindLanguage(to))
                listing.push_back({Hop{from, to, from + ">" + to}, false});
        }
    }
    return listing;
}

} // namespace

TervaneEngine::TervaneEngine(RemoteUrl url, const std::string& apiKey)
    : RemoteEngine(
          std::move(url), "Tervane service",
          [authorization = Authorization(apiKey)](const RemoteUrl& at, Clock::time_point deadline) {
              return FetchTervanePairs(at, authorization, deadline);
          }),
      authorization_(Authorization(apiKey)) {}

Result<RemoteReply> TervaneEngine::Ask(std::string_view path, const Hop& hop,
                                       const std::string& text, Clock::time_point deadline,
                                       bool mayLackPath) const {
    const std::string label = "Tervane service " + hop.id;
    Result<RemoteReply> answer =
        RemotePost(url_, std::string(path), proto::BuildRequestBody(text, hop.from, hop.to),
                   std::string(proto::kRequestContentType), deadline, label, {authorization_, ""});
    const int said = answer.Ok() ? answer.Value().status : 0;
    if (!answer.Ok() || said == 200 || (mayLackPath && (said == 404 || said == 405)))
        return answer;
    const RemoteReply& reply = answer.Value();
    // Busy or over its rate limit: the client may try again, as with this service's own 503.
    const int status = reply.status == 429 || reply.status == 503 ? 503
                       : reply.status == 504                      ? 504
                                                                  : 502;
    if (reply.status == 403) {
        return Error{502, label + " at " + url_.shown +
                              " refused the request (check the key of "
                              "--tervane-key-file): " +
                              Said(reply.body)};
    }
    return Error{status, label + " at " + url_.shown + " failed with status " +
                             std::to_string(reply.status) + ": " + Said(reply.body)};
}

Result<std::string> TervaneEngine::Translate(const Hop& hop, const std::string& text,
                                             Clock::time_point deadline) {
    const Result<RemoteReply> answer = Ask(proto::kTranslatePath, hop, text, deadline, false);
    if (!answer.Ok())
        return answer.Failure();
    if (auto decoded = proto::DecodeAnswer(answer.Value().body))
        return *std::move(decoded);
    return Error{502, "Tervane service " + hop.id +
                          " answered something other than a quoted translation"};
}

std::optional<Result<std::vector<proto::WordEntry>>>
TervaneEngine::LookUpWord(const Hop& hop, const std::string& text, Clock::time_point deadline) {
    const Result<RemoteReply> answer = Ask(proto::kWordsPath, hop, text, deadline, true);
    if (!answer.Ok())
        return answer.Failure();
    if (answer.Value().status != 200) // a service from before /words
        return std::nullopt;
    auto decoded = proto::DecodeWordsAnswer(answer.Value().body);
    if (!decoded) {
        return Result<std::vector<proto::WordEntry>>(
            Error{502, "Tervane service " + hop.id + " answered /words in another form"});
    }
    return Result<std::vector<proto::WordEntry>>(std::move(decoded->entries));
}

std::string TervaneEngine::MissingPairHint(std::string_view, std::string_view) const {
    return "the Tervane service at " + url_.shown + " has no route between them either";
}

EngineDefinition TervaneEngineDefinition() {
    return {.syntax = {.name = "tervane",
                       .options = {{"--tervane-url", "URL",
                                    "for --engine tervane: another Tervane service, on another\n"
                                    "machine or in WSL (http:// or https://)",
                                    "", nullptr, "the address of the Tervane service to ask"},
                                   {"--tervane-key-file", "FILE",
                                    "the key that service gave you, read from FILE (first "
                                    "line)"}}},
            .make = [](const Options& options, const EngineLog&) {
                return MakeKeyedRemoteEngine<TervaneEngine>(options, "--tervane-url",
                                                            "--tervane-key-file");
            }};
}

} // namespace tervane::service
