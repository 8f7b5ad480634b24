#include "service/engines/LibreTranslateEngine.h"

#include "service/engines/LanguageCodes.h"
#include "service/engines/RemoteEngineSetup.h"
#include "service/engines/WordEntries.h"

#include <nlohmann/json.hpp>

namespace tervane::service {
namespace {

// What translates into what; apart from the engine, since a refresh may outlive it.
Result<PairListing> FetchLibreTranslatePairs(const RemoteUrl& url, Clock::time_point deadline) {
    PairListing listing;
    const Result<RemoteReply> answer = RemoteGet(url, "/languages", deadline, "LibreTranslate");
    if (!answer.Ok())
        return answer.Failure();
    const RemoteReply& reply = answer.Value();
    const auto json = nlohmann::json::parse(reply.body, nullptr, false);
    if (reply.status != 200 || !json.is_array()) {
        return Error{502, "LibreTranslate at " + url.shown + " gave no language list (status " +
                              std::to_string(reply.status) + ")"};
    }
    std::vector<std::string> all;
    for (const auto& language : json) {
        if (language.is_object() && language.contains("code") && language["code"].is_string()) {
            all.push_back(language["code"]);
        }
    }
    for (const auto& language : json) {
        if (!language.is_object() || !language.contains("code") || !language["code"].is_string()) {
            continue;
        }
        const std::string source = language["code"];
        // Servers before "targets" was added translate between every pair they list.
        std::vector<std::string> targets = all;
        if (language.contains("targets") && language["targets"].is_array()) {
            targets.clear();
            for (const auto& target : language["targets"]) {
                if (target.is_string())
                    targets.push_back(target);
            }
        }
        for (const std::string& target : targets) {
            for (std::string_view from : TableCodesForLibreTranslate(source)) {
                for (std::string_view to : TableCodesForLibreTranslate(target)) {
                    listing.push_back(
                        {Hop{std::string(from), std::string(to), source + ">" + target}, false});
                }
            }
        }
    }
    return listing;
}

} // namespace

LibreTranslateEngine::LibreTranslateEngine(RemoteUrl url, std::string apiKey)
    : RemoteEngine(std::move(url), "LibreTranslate", FetchLibreTranslatePairs),
      apiKey_(std::move(apiKey)) {}

Result<nlohmann::json> LibreTranslateEngine::Ask(const Hop& hop, const std::string& text,
                                                 int alternatives,
                                                 Clock::time_point deadline) const {
    const std::size_t sep = hop.id.find('>');
    nlohmann::json request = {{"q", text},
                              {"source", hop.id.substr(0, sep)},
                              {"target", hop.id.substr(sep + 1)},
                              {"format", "text"}};
    if (alternatives > 0)
        request["alternatives"] = alternatives;
    if (!apiKey_.empty())
        request["api_key"] = apiKey_;
    const Result<RemoteReply> answer =
        RemotePost(url_, "/translate", request.dump(), "application/json", deadline,
                   "LibreTranslate " + hop.id);
    if (!answer.Ok())
        return answer.Failure();
    const RemoteReply& reply = answer.Value();
    auto json = nlohmann::json::parse(reply.body, nullptr, false);
    if (reply.status == 200 && json.is_object() && json.contains("translatedText") &&
        json["translatedText"].is_string()) {
        return json;
    }
    std::string message = "unexpected answer";
    if (json.is_object() && json.contains("error") && json["error"].is_string()) {
        message = json["error"];
    }
    const int status = reply.status == 429 ? 503 : reply.status == 504 ? 504 : 502;
    return Error{status, "LibreTranslate " + hop.id + " failed with status " +
                             std::to_string(reply.status) + ": " + message};
}

Result<std::string> LibreTranslateEngine::Translate(const Hop& hop, const std::string& text,
                                                    Clock::time_point deadline) {
    const Result<nlohmann::json> answer = Ask(hop, text, 0, deadline);
    if (!answer.Ok())
        return answer.Failure();
    return answer.Value()["translatedText"].get<std::string>();
}

std::optional<Result<std::vector<protocol::WordEntry>>>
LibreTranslateEngine::LookUpWord(const Hop& hop, const std::string& text,
                                 Clock::time_point deadline) {
    using Entries = Result<std::vector<protocol::WordEntry>>;
    if (!protocol::IsSingleWord(text))
        return Entries(std::vector<protocol::WordEntry>());
    const Result<nlohmann::json> answer = Ask(hop, text, kAlternatives, deadline);
    if (!answer.Ok())
        return Entries(answer.Failure());
    // A server that has none, or knows no such field, gives no "alternatives".
    const nlohmann::json& json = answer.Value();
    if (!json.contains("alternatives") || !json["alternatives"].is_array() ||
        json["alternatives"].empty())
        return Entries(std::vector<protocol::WordEntry>());
    std::vector<std::string> translations = {json["translatedText"].get<std::string>()};
    for (const auto& alternative : json["alternatives"]) {
        if (alternative.is_string())
            translations.push_back(alternative.get<std::string>());
    }
    std::vector<protocol::WordEntry> entries;
    AddTranslations(entries, "", translations);
    return Entries(std::move(entries));
}

std::string LibreTranslateEngine::MissingPairHint(std::string_view from,
                                                  std::string_view to) const {
    return "the LibreTranslate server at " + url_.shown + " must offer " +
           std::string(LibreTranslateCode(from)) + " to " + std::string(LibreTranslateCode(to));
}

EngineDefinition LibreTranslateEngineDefinition() {
    return {.syntax = {.name = "libretranslate",
                       .options = {{"--libretranslate-url", "URL",
                                    "server for --engine libretranslate (default "
                                    "http://127.0.0.1:5000)",
                                    "http://127.0.0.1:5000"},
                                   {"--api-key-file", "FILE",
                                    "LibreTranslate API key, read from FILE (first line)"}}},
            .make = [](const Options& options, const EngineLog&) {
                return MakeKeyedRemoteEngine<LibreTranslateEngine>(options, "--libretranslate-url",
                                                                   "--api-key-file");
            }};
}

} // namespace tervane::service
