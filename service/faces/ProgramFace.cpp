#include "service/faces/ProgramFace.h"

#include "protocol/Languages.h"
#include "protocol/ServiceProtocol.h"
#include "protocol/WordsAnswer.h"
#include "service/core/LogText.h"
#include "service/engines/WordTranslation.h"
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

ProgramFace::ProgramFace(Translator& translator, std::chrono::milliseconds timeout)
    : translator_(translator), timeout_(timeout) {}

HttpResponse ProgramFace::Handle(const HttpRequest& request, std::string& logDetail) {
    const std::string_view path = request.Path();
    if (path == proto::kTranslatePath || path == proto::kWordsPath) {
        return request.method == "POST" ? Translate(request, logDetail, path == proto::kWordsPath)
                                        : WrongMethod(path, "POST");
    }
    if (path == "/health" || path == "/languages") {
        // HEAD gets GET's headers; the server leaves the body out.
        if (request.method != "GET" && request.method != "HEAD")
            return WrongMethod(path, "GET");
        return path == "/health" ? Health(request) : Languages();
    }
    return ErrorResponse(Error{
        404, "No such resource: use POST /translate, POST /words, GET /health or GET /languages"});
}

HttpResponse ProgramFace::Translate(const HttpRequest& request, std::string& logDetail,
                                    bool withEntries) {
    const auto deadline = Clock::now() + timeout_;
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

    const WordTranslation word =
        withEntries
            ? TranslateWord(translator_, form.source, form.target, form.text, deadline)
            : WordTranslation{
                  translator_.Translate(form.source, form.target, form.text, deadline), {}, {}};
    const Translation& result = word.translation;
    if (result.busy)
        return BusyResponse(result.text.Failure().reason);
    if (!result.engine.empty())
        logDetail += "engine=" + result.engine + " ";
    logDetail += "route=" + result.route + " ";
    if (!result.text.Ok())
        return ErrorResponse(result.text.Failure());

    HttpResponse response;
    response.contentType = std::string(proto::kAnswerContentType);
    if (!withEntries) {
        response.body = proto::EncodeAnswer(result.text.Value());
        return response;
    }
    logDetail += "entries=" + std::to_string(word.entries.size()) + " ";
    if (!word.lookupFailure.empty())
        logDetail += "lookup-failed=" + EscapeForLog(word.lookupFailure, 120) + " ";
    response.body = proto::EncodeWordsAnswer({result.text.Value(), word.entries});
    return response;
}

// Never waits on a remote engine: the last known state, refreshed in the background. What
// the engines are and where they live is told to this machine only; others get the status.
HttpResponse ProgramFace::Health(const HttpRequest& request) {
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

HttpResponse ProgramFace::Languages() {
    const RouteListing listing = translator_.ListRoutes(Clock::now() + timeout_);
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

FaceDefinition ProgramFaceDefinition() {
    return {
        .name = "program",
        .claims = [](const HttpRequest&) { return true; },
        // The reason phrase, and the same text as the body.
        .refusal = [](const Error& error) { return ErrorResponse(error); },
        .make = [](Translator& translator, const FaceSettings& settings) -> std::unique_ptr<Face> {
            return std::make_unique<ProgramFace>(translator, settings.timeout);
        }};
}

} // namespace tervane::service
