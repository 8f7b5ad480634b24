#include "service/ServiceHandler.h"

#include "protocol/Languages.h"
#include "protocol/ServiceProtocol.h"
#include "service/core/LogText.h"
#include "service/http/RequestForm.h"

#include <nlohmann/json.hpp>

namespace tervane::service {
namespace {

namespace proto = tervane::protocol;

HttpResponse JsonResponse(int status, const nlohmann::json& value) {
    HttpResponse response;
    response.status = status;
    response.contentType = "application/json";
    response.body = value.dump() + "\n";
    return response;
}

bool IsFormContentType(std::string_view value) {
    const std::string_view type = value.substr(0, value.find(';'));
    std::string lower;
    for (char c : type) {
        if (c != ' ' && c != '\t')
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower == proto::kRequestContentType;
}

// A refusal that names the method to use; Allow says it to the client's software too.
HttpResponse WrongMethod(std::string_view path, std::string_view allowed) {
    HttpResponse response =
        ErrorResponse(Error{405, "Use " + std::string(allowed) + " for " + std::string(path)});
    response.headers.emplace_back("Allow", std::string(allowed));
    return response;
}

} // namespace

ServiceHandler::ServiceHandler(Translator& translator, HandlerSettings settings, HandlerLog log)
    : translator_(translator), settings_(settings), log_(std::move(log)),
      faces_(translator, settings.timeout) {}

HttpResponse ServiceHandler::Handle(const HttpRequest& request) {
    const auto started = Clock::now();
    std::string detail;
    std::optional<HttpResponse> refused;
    if (settings_.access)
        refused = settings_.access->Check(request);
    const HttpResponse response = refused ? std::move(*refused) : Route(request, detail);
    if (!request.peer.empty() && !IsLoopbackAddress(request.peer))
        detail = "from=" + request.peer + " " + detail;
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
    if (auto answer = faces_.Handle(request, logDetail))
        return std::move(*answer);
    const std::string_view path = request.Path();
    if (path == proto::kTranslatePath) {
        return request.method == "POST" ? Translate(request, logDetail) : WrongMethod(path, "POST");
    }
    if (path == "/health" || path == "/languages") {
        // HEAD gets GET's headers; the server leaves the body out.
        if (request.method != "GET" && request.method != "HEAD")
            return WrongMethod(path, "GET");
        return path == "/health" ? Health(request) : Languages();
    }
    return ErrorResponse(
        Error{404, "No such resource: use POST /translate, GET /health or GET /languages"});
}

HttpResponse ServiceHandler::Translate(const HttpRequest& request, std::string& logDetail) {
    const auto deadline = Clock::now() + settings_.timeout;
    const auto contentType = request.Header("Content-Type");
    if (contentType && !IsFormContentType(*contentType)) {
        return ErrorResponse(
            Error{415, "Send the form as " + std::string(proto::kRequestContentType)});
    }
    const Result<TranslateRequest> parsed = ReadTranslateForm(request.body);
    if (!parsed.Ok())
        return ErrorResponse(parsed.Failure());
    const TranslateRequest& form = parsed.Value();
    logDetail = form.source + "->" + form.target + " ";

    const Translation result = translator_.Translate(form.source, form.target, form.text, deadline);
    if (result.busy)
        return BusyResponse(result.text.Failure().reason);
    if (!result.engine.empty())
        logDetail += "engine=" + result.engine + " ";
    logDetail += "route=" + result.route + " ";
    if (!result.text.Ok())
        return ErrorResponse(result.text.Failure());

    HttpResponse response;
    response.contentType = std::string(proto::kAnswerContentType);
    response.body = proto::EncodeAnswer(result.text.Value());
    return response;
}

// Never waits on a remote engine: the last known state, refreshed in the background. What
// the engines are and where they live is told to this machine only; others get the status.
HttpResponse ServiceHandler::Health(const HttpRequest& request) {
    const Result<PairListing> listing = translator_.UsedEngine().LastPairs();
    const bool detailed = request.peer.empty() || IsLoopbackAddress(request.peer);
    if (!listing.Ok()) {
        return ErrorResponse(Error{503, detailed ? listing.Failure().reason
                                                 : "The translation engine is not available"});
    }
    if (!detailed)
        return JsonResponse(200, {{"status", "ok"}});
    return JsonResponse(200, {{"status", "ok"},
                              {"engine", translator_.UsedEngine().Name()},
                              {"directions", listing.Value().size()}});
}

HttpResponse ServiceHandler::Languages() {
    const RouteListing listing = translator_.ListRoutes(Clock::now() + settings_.timeout);
    nlohmann::json rows = nlohmann::json::array();
    for (const auto& [code, targets] : listing.targets) {
        nlohmann::json reached = nlohmann::json::array();
        for (const auto& [to, choice] : targets) {
            nlohmann::json hops = nlohmann::json::array();
            for (const Hop& hop : choice.route)
                hops.push_back(hop.id);
            reached.push_back({{"code", to}, {"engine", choice.engine}, {"route", hops}});
        }
        rows.push_back(
            {{"code", code}, {"name", proto::FindLanguage(code)->name}, {"targets", reached}});
    }
    nlohmann::json unavailable = nlohmann::json::array();
    for (const auto& [engine, error] : listing.unavailable)
        unavailable.push_back({{"engine", engine}, {"reason", RedactUrlUserInfo(error.reason)}});
    return JsonResponse(200, {{"engine", translator_.UsedEngine().Name()},
                              {"languages", rows},
                              {"unavailable", unavailable}});
}

} // namespace tervane::service
