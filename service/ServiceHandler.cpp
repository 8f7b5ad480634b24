#include "service/ServiceHandler.h"

#include "service/core/LogText.h"
#include "service/faces/FaceTable.h"

#include <nlohmann/json.hpp>

namespace tervane::service {
namespace {

HttpResponse DrainingResponse() {
    HttpResponse response;
    response.status = 503;
    response.contentType = "application/json";
    response.body = "{\"status\":\"draining\"}\n";
    return response;
}

// /health as this machine reads it, with where the rate counters are: a Redis that cannot
// be reached is told here (the instance still serves, counting alone, so the status stays).
HttpResponse WithRateState(HttpResponse health, const RateStorageState& state) {
    nlohmann::json body = nlohmann::json::parse(health.body, nullptr, false);
    if (!body.is_object())
        return health;
    body["rate_limits"] = {{"storage", state.storage}, {"shared", state.shared}};
    if (!state.reason.empty())
        body["rate_limits"]["reason"] = state.reason;
    health.body = body.dump() + "\n";
    return health;
}

} // namespace

ServiceHandler::ServiceHandler(Translator& translator, HandlerSettings settings, HandlerLog log)
    : settings_(settings), log_(std::move(log)), faces_(translator, [&settings] {
          FaceSettings faces = settings.faces;
          faces.timeout = settings.timeout;
          return faces;
      }()) {}

HttpResponse ServiceHandler::Handle(const HttpRequest& request) {
    const auto started = Clock::now();
    std::string detail;
    std::optional<HttpResponse> refused;
    if (settings_.access)
        refused = settings_.access->Check(request);
    const HttpResponse response = refused ? std::move(*refused) : Route(request, detail);
    if (!request.peer.empty() && !IsLoopbackAddress(request.peer))
        detail = "from=" + request.peer + " " + detail;
    if (settings_.metrics) {
        settings_.metrics->CountAnswer(ClaimingFace(request).name, request.Path(), response.status,
                                       Clock::now() - started);
        if (response.status == 503 && response.close)
            settings_.metrics->CountBusyRefusal();
    }
    if (response.status == 503 && response.close) {
        if (log_.busy)
            log_.busy(); // refusals under overload: counted, summed up once a second
        return response;
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
    if (log_.line) {
        // Every value a client chose is escaped and cut: one request, one bounded line.
        log_.line(EscapeForLog(request.method, 16) + " " + EscapeForLog(request.Path(), 64) + " " +
                  detail + "in=" + std::to_string(request.body.size()) +
                  "B out=" + std::to_string(response.body.size()) + "B status=" +
                  std::to_string(response.status) + " " + std::to_string(ms.count()) + "ms" +
                  // A refusal says why, as the client was told.
                  (response.status >= 400
                       ? ": " + EscapeForLog(RedactUrlUserInfo(response.reason), 240, true)
                       : ""));
    }
    return response;
}

HttpResponse ServiceHandler::Route(const HttpRequest& request, std::string& logDetail) {
    if (settings_.loopbackOnly) {
        if (request.Header("Origin")) {
            logDetail = "origin ";
            return ErrorResponse(Error{403, "Requests from web pages are not accepted: the "
                                            "service answers only programs on this machine"});
        }
        const auto host = request.Header("Host");
        if (host && !IsLoopbackHost(*host)) {
            logDetail = "host ";
            return ErrorResponse(
                Error{403, "Host '" + SanitizeReason(host->substr(0, 64)) +
                               "' is not this machine: use 127.0.0.1, localhost or [::1]"});
        }
    }
    // Load balancers ask /health: once the service drains, they are told to send no more.
    if (settings_.draining && settings_.draining() && request.Path() == "/health")
        return DrainingResponse();
    if (settings_.metrics && request.Path() == "/metrics") {
        if (request.method != "GET" && request.method != "HEAD")
            return ErrorResponse(Error{405, "Use GET for /metrics"});
        HttpResponse response;
        response.contentType = "text/plain; version=0.0.4; charset=utf-8";
        response.body = settings_.metrics->Render();
        return response;
    }
    HttpResponse response = faces_.Handle(request, logDetail);
    if (request.Path() == "/health" && response.status == 200 && settings_.access &&
        (request.peer.empty() || IsLoopbackAddress(request.peer))) {
        if (const auto state = settings_.access->RateState())
            return WithRateState(std::move(response), *state);
    }
    return response;
}

} // namespace tervane::service
