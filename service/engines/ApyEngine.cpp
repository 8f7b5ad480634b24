#include "service/engines/ApyEngine.h"

#include "protocol/ServiceProtocol.h"
#include "service/engines/DebianPairs.h"
#include "service/engines/LanguageCodes.h"
#include "service/engines/RemoteEngineSetup.h"
#include "service/engines/WordEntries.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace tervane::service {
namespace {

std::string ApyMessage(const nlohmann::json& reply) {
    if (reply.is_object()) {
        for (const char* key : {"explanation", "message", "responseDetails"}) {
            if (reply.contains(key) && reply[key].is_string())
                return reply[key].get<std::string>();
        }
    }
    return "unexpected answer";
}

// The pairs APy lists; apart from the engine, since a refresh may outlive it.
Result<PairListing> FetchApyPairs(const RemoteUrl& url, Clock::time_point deadline) {
    PairListing listing;
    const Result<RemoteReply> answer = RemoteGet(url, "/listPairs", deadline, "APy");
    if (!answer.Ok())
        return answer.Failure();
    const RemoteReply& reply = answer.Value();
    const auto json = nlohmann::json::parse(reply.body, nullptr, false);
    if (reply.status != 200 || json.is_discarded() || !json.contains("responseData") ||
        !json["responseData"].is_array()) {
        return Error{502, "APy at " + url.shown + " gave no pair list (status " +
                              std::to_string(reply.status) + ")"};
    }
    for (const auto& pair : json["responseData"]) {
        if (!pair.is_object() || !pair.contains("sourceLanguage") ||
            !pair.contains("targetLanguage") || !pair["sourceLanguage"].is_string() ||
            !pair["targetLanguage"].is_string()) {
            continue;
        }
        const std::string source = pair["sourceLanguage"];
        const std::string target = pair["targetLanguage"];
        const bool variant = IsApertiumVariant(source) || IsApertiumVariant(target);
        for (const std::string& from : RoutingNodesForApertium(source)) {
            for (const std::string& to : RoutingNodesForApertium(target))
                listing.push_back({Hop{from, to, source + "|" + target}, variant});
        }
    }
    return listing;
}

} // namespace

ApyEngine::ApyEngine(RemoteUrl url) : RemoteEngine(std::move(url), "APy", FetchApyPairs) {}

Result<std::string> ApyEngine::Translate(const Hop& hop, const std::string& text,
                                         Clock::time_point deadline) {
    // markUnknown=no: APy then leaves out the marks of words it could not translate.
    const std::string body = "langpair=" + protocol::PercentEncode(hop.id) +
                             "&markUnknown=no&q=" + protocol::PercentEncode(text);
    const Result<RemoteReply> answer =
        RemotePost(url_, "/translate", body, std::string(protocol::kRequestContentType), deadline,
                   "APy pair " + hop.id);
    if (!answer.Ok())
        return answer.Failure();
    const RemoteReply& reply = answer.Value();
    const auto json = nlohmann::json::parse(reply.body, nullptr, false);
    if (reply.status == 200 && !json.is_discarded() && json.contains("responseData") &&
        json["responseData"].is_object() && json["responseData"].contains("translatedText") &&
        json["responseData"]["translatedText"].is_string()) {
        return json["responseData"]["translatedText"].get<std::string>();
    }
    const int status = reply.status == 408 || reply.status == 504 ? 504 : 502;
    return Error{status, "APy pair " + hop.id + " failed with status " +
                             std::to_string(reply.status) + ": " +
                             (json.is_discarded() ? "not JSON" : ApyMessage(json))};
}

std::optional<Result<std::vector<protocol::WordEntry>>>
ApyEngine::LookUpWord(const Hop& hop, const std::string& text, Clock::time_point deadline) {
    std::string pair = hop.id;
    std::replace(pair.begin(), pair.end(), '|', '-'); // /perWord names "fra-spa"
    const Result<RemoteReply> answer =
        RemotePost(url_, "/perWord",
                   "lang=" + protocol::PercentEncode(pair) +
                       "&modes=morph+biltrans&q=" + protocol::PercentEncode(text),
                   std::string(protocol::kRequestContentType), deadline, "APy pair " + hop.id);
    if (!answer.Ok())
        return answer.Failure();
    // Each word's analyses ("morph") and their lookups ("biltrans"), as strings.
    const auto json = nlohmann::json::parse(answer.Value().body, nullptr, false);
    if (answer.Value().status != 200 || !json.is_array())
        return std::nullopt;
    const auto strings = [](const nlohmann::json& word, const char* mode) {
        std::vector<std::string> values;
        if (word.is_object() && word.contains(mode) && word[mode].is_array()) {
            for (const auto& value : word[mode])
                values.push_back(value.is_string() ? value.get<std::string>() : "");
        }
        return values;
    };
    std::vector<std::vector<std::string>> analyses;
    for (const auto& word : json)
        analyses.push_back(strings(word, "morph"));
    const std::optional<std::size_t> word = OneKnownWord(analyses);
    if (!word)
        return Result<std::vector<protocol::WordEntry>>(std::vector<protocol::WordEntry>());
    return Result<std::vector<protocol::WordEntry>>(
        DictionaryEntries(analyses[*word], strings(json[*word], "biltrans")));
}

std::string ApyEngine::MissingPairHint(std::string_view from, std::string_view to) const {
    const auto package = DebianPairPackage(from, to);
    return "the APy server at " + url_.shown + " needs a pair between them" +
           (package ? " (" + *package + ")" : std::string()) + " or pairs that chain them";
}

EngineDefinition ApyEngineDefinition() {
    return {
        .syntax = {.name = "apy",
                   .options = {{"--apy-url", "URL",
                                "APy server for --engine apy (default "
                                "http://127.0.0.1:2737)",
                                "http://127.0.0.1:2737"}}},
        .make = [](const Options& options, const EngineLog&) -> Result<std::unique_ptr<Engine>> {
            const Result<RemoteUrl> server = RemoteServer(options, "--apy-url");
            if (!server.Ok())
                return server.Failure();
            return std::unique_ptr<Engine>(std::make_unique<ApyEngine>(server.Value()));
        }};
}

} // namespace tervane::service
