#include "service/ApyEngine.h"

#include "service/LanguageCodes.h"
#include "translate/ServiceProtocol.h"

#include <nlohmann/json.hpp>

namespace tervane::service {
namespace {

constexpr auto kListTimeout = std::chrono::seconds(5);

std::string apyMessage(const nlohmann::json &reply) {
  if (reply.is_object()) {
    for (const char *key : {"explanation", "message", "responseDetails"}) {
      if (reply.contains(key) && reply[key].is_string()) return reply[key].get<std::string>();
    }
  }
  return "unexpected answer";
}

} // namespace

ApyEngine::ApyEngine(RemoteUrl url)
    : url_(std::move(url)), cache_([this] { return fetchPairs(); }) {}

PairListing ApyEngine::fetchPairs() {
  PairListing listing;
  const RemoteReply reply = remoteGet(url_, "/listPairs", Clock::now() + kListTimeout, "APy");
  if (reply.error) {
    listing.error = reply.error;
    return listing;
  }
  const auto json = nlohmann::json::parse(reply.body, nullptr, false);
  if (reply.status != 200 || json.is_discarded() || !json.contains("responseData") ||
      !json["responseData"].is_array()) {
    listing.error = EngineError{502, "APy at " + url_.origin + " gave no pair list (status " +
                                         std::to_string(reply.status) + ")"};
    return listing;
  }
  for (const auto &pair : json["responseData"]) {
    if (!pair.is_object() || !pair.contains("sourceLanguage") ||
        !pair.contains("targetLanguage") || !pair["sourceLanguage"].is_string() ||
        !pair["targetLanguage"].is_string()) {
      continue;
    }
    const std::string source = pair["sourceLanguage"];
    const std::string target = pair["targetLanguage"];
    const bool variant = isApertiumVariant(source) || isApertiumVariant(target);
    for (std::string_view from : tableCodesForApertium(source)) {
      for (std::string_view to : tableCodesForApertium(target)) {
        listing.pairs.push_back({Hop{std::string(from), std::string(to), source + "|" + target},
                                 variant});
      }
    }
  }
  return listing;
}

HopResult ApyEngine::translate(const Hop &hop, const std::string &text,
                               Clock::time_point deadline) {
  // markUnknown=no: APy then leaves out the marks of words it could not translate.
  const std::string body = "langpair=" + protocol::PercentEncode(hop.id) +
                           "&markUnknown=no&q=" + protocol::PercentEncode(text);
  const RemoteReply reply = remotePost(url_, "/translate", body,
                                       std::string(protocol::kRequestContentType), deadline,
                                       "APy pair " + hop.id);
  if (reply.error) return *reply.error;
  const auto json = nlohmann::json::parse(reply.body, nullptr, false);
  if (reply.status == 200 && !json.is_discarded() && json.contains("responseData") &&
      json["responseData"].is_object() && json["responseData"].contains("translatedText") &&
      json["responseData"]["translatedText"].is_string()) {
    return json["responseData"]["translatedText"].get<std::string>();
  }
  const int status = reply.status == 408 || reply.status == 504 ? 504 : 502;
  return EngineError{status, "APy pair " + hop.id + " failed with status " +
                                 std::to_string(reply.status) + ": " +
                                 (json.is_discarded() ? "not JSON" : apyMessage(json))};
}

std::string ApyEngine::missingPairHint(std::string_view from, std::string_view to) const {
  return "the APy server at " + url_.origin + " needs a pair between them (apertium-" +
         std::string(preferredApertiumCode(from)) + "-" + std::string(preferredApertiumCode(to)) +
         ") or pairs that chain them";
}

} // namespace tervane::service
