#include "service/ServiceHandler.h"

#include "service/RequestForm.h"
#include "translate/ServiceProtocol.h"

#include <nlohmann/json.hpp>
#include <set>

namespace tervane::service {
namespace {

namespace proto = tervane::protocol;

HttpResponse failure(int status, std::string reason) {
  HttpResponse response;
  response.status = status;
  response.body = reason + "\n";
  response.reason = std::move(reason);
  return response;
}

HttpResponse json(int status, const nlohmann::json &value) {
  HttpResponse response;
  response.status = status;
  response.contentType = "application/json";
  response.body = value.dump() + "\n";
  return response;
}

bool isFormContentType(std::string_view value) {
  const std::string_view type = value.substr(0, value.find(';'));
  std::string lower;
  for (char c : type) {
    if (c != ' ' && c != '\t') lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return lower == proto::kRequestContentType;
}

} // namespace

ServiceHandler::ServiceHandler(Translator &translator, HandlerSettings settings, LogSink log)
    : translator_(translator), settings_(settings),
      admission_(settings.maxActive, settings.maxWaiting), log_(std::move(log)) {}

HttpResponse ServiceHandler::handle(const HttpRequest &request) {
  const auto started = Clock::now();
  std::string detail;
  HttpResponse response;
  const std::string_view path = request.path();
  if (path == proto::kTranslatePath) {
    response = request.method == "POST"
                   ? translate(request, detail)
                   : failure(405, "Use POST for " + std::string(proto::kTranslatePath));
  } else if (path == "/health" || path == "/languages") {
    response = request.method != "GET" ? failure(405, "Use GET for " + std::string(path))
               : path == "/health"     ? health()
                                       : languages();
  } else {
    response = failure(404, "No such resource: use POST /translate, GET /health or GET /languages");
  }
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
  if (log_) {
    log_(request.method + " " + std::string(path.substr(0, 64)) + " " + detail +
         "in=" + std::to_string(request.body.size()) + "B out=" +
         std::to_string(response.body.size()) + "B status=" + std::to_string(response.status) +
         " " + std::to_string(ms.count()) + "ms");
  }
  return response;
}

HttpResponse ServiceHandler::translate(const HttpRequest &request, std::string &logDetail) {
  const auto deadline = Clock::now() + settings_.timeout;
  const auto contentType = request.header("Content-Type");
  if (contentType && !isFormContentType(*contentType)) {
    return failure(415, "Send the form as " + std::string(proto::kRequestContentType));
  }
  auto parsed = readTranslateForm(request.body);
  if (auto *error = std::get_if<RequestError>(&parsed)) {
    return failure(error->status, error->reason);
  }
  const TranslateRequest &form = std::get<TranslateRequest>(parsed);
  logDetail = form.source + "->" + form.target + " ";

  const AdmissionTicket ticket(admission_, deadline);
  if (!ticket.admitted()) {
    logDetail += "route=busy ";
    return failure(503, "Service busy: too many translations in progress, try again");
  }
  Translation result = translator_.translate(form.source, form.target, form.text, deadline);
  logDetail += "route=" + result.route + " ";
  if (result.status != 200) return failure(result.status, result.reason);

  HttpResponse response;
  response.contentType = std::string(proto::kAnswerContentType);
  response.body = proto::EncodeAnswer(result.text);
  return response;
}

HttpResponse ServiceHandler::health() {
  const PairListing listing = translator_.engine().pairs();
  if (listing.error) return failure(503, listing.error->reason);
  return json(200, {{"status", "ok"},
                    {"engine", translator_.engine().name()},
                    {"pairs", listing.pairs.size()}});
}

HttpResponse ServiceHandler::languages() {
  const PairListing listing = translator_.engine().pairs();
  if (listing.error) return failure(503, listing.error->reason);
  const PairGraph graph = buildGraph(listing);
  nlohmann::json rows = nlohmann::json::array();
  std::set<std::string_view> seen; // Dutch has two rows; list each code once
  for (const proto::Language &language : proto::kLanguages) {
    if (!seen.insert(language.code).second) continue;
    nlohmann::json targets = nlohmann::json::array();
    for (const auto &[to, route] : graph.reachableFrom(std::string(language.code),
                                                       translator_.maxHops())) {
      nlohmann::json hops = nlohmann::json::array();
      for (const Hop &hop : route) hops.push_back(hop.id);
      targets.push_back({{"code", to}, {"route", hops}});
    }
    rows.push_back({{"code", language.code}, {"name", language.name}, {"targets", targets}});
  }
  return json(200, {{"engine", translator_.engine().name()}, {"languages", rows}});
}

} // namespace tervane::service
