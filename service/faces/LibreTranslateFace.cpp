#include "service/faces/LibreTranslateFace.h"

#include "protocol/Languages.h"
#include "protocol/ServiceProtocol.h"
#include "protocol/Utf8.h"
#include "service/engines/LanguageCodes.h"
#include "service/faces/FaceAnswer.h"
#include "service/faces/FaceArguments.h"
#include "service/faces/FaceTranslation.h"
#include "service/faces/LibreTranslateOpenApi.h"
#include "service/http/ApiKeys.h"

#include <optional>
#include <vector>

namespace tervane::service {
namespace {

using nlohmann::json;

constexpr std::string_view kAuto = "auto";

// LibreTranslate's error answer.
HttpResponse LtError(int status, const std::string& message) {
    HttpResponse response = JsonAnswer(status, {{"error", message}});
    response.reason = message;
    return response;
}

HttpResponse Missing(std::string_view name) {
    return LtError(400, "Invalid request: missing " + std::string(name) + " parameter");
}

// LibreTranslate counts a request's characters, its texts' together.
std::size_t Characters(const std::vector<std::string>& texts) {
    std::size_t count = 0;
    for (const std::string& text : texts) {
        for (unsigned char byte : text)
            count += protocol::IsContinuationByte(static_cast<char>(byte)) ? 0 : 1;
    }
    return count;
}

HttpResponse DetectionDisabled() {
    return LtError(403, "Language detection is disabled on this server: name the source "
                        "language");
}

// The arguments as one JSON object, whichever way they came: a JSON body, or the query
// and a form (a later value wins); nullopt with the refusal when they cannot be read.
std::optional<json> ReadLtArguments(const HttpRequest& request, HttpResponse& refusal) {
    if (RequestMediaType(request) == "application/json") {
        json body = json::parse(request.body, nullptr, false);
        if (body.is_discarded() || !body.is_object()) {
            refusal = LtError(400, "Invalid JSON format");
            return std::nullopt;
        }
        return body;
    }
    const auto arguments = ReadArguments(request);
    if (!arguments) {
        refusal = LtError(400, "Invalid request: malformed form or query");
        return std::nullopt;
    }
    json object = json::object();
    for (const auto& [name, value] : *arguments)
        object[name] = value;
    return object;
}

std::optional<std::string> StringArgument(const json& arguments, const char* name) {
    const auto found = arguments.find(name);
    if (found == arguments.end() || !found->is_string() || found->get<std::string>().empty())
        return std::nullopt;
    return found->get<std::string>();
}

// The program's code for a LibreTranslate code; empty when the service does not know it.
std::string TableCode(const std::string& code) {
    const auto codes = TableCodesForLibreTranslate(code);
    return codes.empty() ? std::string() : std::string(codes.front());
}

std::string LtCode(const std::string& tableCode) {
    return std::string(LibreTranslateCode(tableCode));
}

std::string LanguageName(const std::string& tableCode) {
    return std::string(protocol::FindLanguage(tableCode)->name);
}

HttpResponse TranslationFailure(const Translation& translation) {
    const Error& failure = translation.text.Failure();
    if (translation.busy)
        return BusyJsonAnswer(failure.reason, {{"error", failure.reason}});
    return LtError(failure.status, failure.reason);
}

} // namespace

LibreTranslateFace::LibreTranslateFace(Translator& translator, const FaceSettings& settings,
                                       std::unique_ptr<LanguageDetector> detector)
    : translator_(translator), settings_(settings), detector_(std::move(detector)) {}

HttpResponse LibreTranslateFace::Handle(const HttpRequest& request, std::string& logDetail) {
    logDetail = "libretranslate ";
    const std::string_view path = request.Path();
    if (path == "/languages") {
        // HEAD gets GET's headers; the server leaves the body out.
        if (request.method != "GET" && request.method != "HEAD" && request.method != "POST")
            return LtError(405, "Use GET or POST for /languages");
        return Languages();
    }
    if (path == "/spec" || path == "/frontend/settings") {
        if (request.method != "GET" && request.method != "HEAD") {
            HttpResponse refused = LtError(405, "Use GET for " + std::string(path));
            refused.headers.emplace_back("Allow", "GET");
            return refused;
        }
        return path == "/spec" ? JsonAnswer(200, LibreTranslateOpenApi(settings_.version))
                               : FrontendSettings(request);
    }
    if (request.method != "POST") {
        HttpResponse refused = LtError(405, "Use POST for " + std::string(path));
        refused.headers.emplace_back("Allow", "POST");
        return refused;
    }
    // As a LibreTranslate server started without --suggestions answers, whatever was sent.
    if (path == "/suggest")
        return LtError(403, "Suggestions are disabled on this server.");
    HttpResponse refusal;
    const auto arguments = ReadLtArguments(request, refusal);
    if (!arguments)
        return refusal;
    return path == "/detect" ? Detect(*arguments) : Translate(*arguments, logDetail);
}

HttpResponse LibreTranslateFace::Translate(const json& arguments, std::string& logDetail) {
    const auto deadline = Clock::now() + settings_.timeout;
    const auto q = arguments.find("q");
    std::vector<std::string> texts;
    const bool batch = q != arguments.end() && q->is_array();
    if (batch) {
        for (const json& item : *q) {
            if (!item.is_string())
                return LtError(400, "Invalid request: q must be a text or a list of texts");
            texts.push_back(item.get<std::string>());
        }
    } else if (q != arguments.end() && q->is_string() && !q->get<std::string>().empty()) {
        texts.push_back(q->get<std::string>());
    }
    if (texts.empty())
        return Missing("q");
    const auto source = StringArgument(arguments, "source");
    if (!source)
        return Missing("source");
    const auto target = StringArgument(arguments, "target");
    if (!target)
        return Missing("target");
    if (const std::size_t characters = Characters(texts);
        settings_.charLimit != 0 && characters > settings_.charLimit) {
        return LtError(400, "Invalid request: request (" + std::to_string(characters) +
                                ") exceeds text limit (" + std::to_string(settings_.charLimit) +
                                ")");
    }
    const std::string format = StringArgument(arguments, "format").value_or("text");
    if (format != "text" && format != "html")
        return LtError(400, format + " format is not supported");
    const bool detect = *source == kAuto;
    if (detect && !detector_)
        return DetectionDisabled();
    const std::string from = detect ? std::string() : TableCode(*source);
    const std::string to = TableCode(*target);
    if (!detect && from.empty())
        return LtError(400, *source + " is not supported");
    if (to.empty())
        return LtError(400, *target + " is not supported");
    for (const std::string& text : texts) {
        if (const auto fault = TextFault(text))
            return LtError(400, "Invalid request: " + *fault);
    }

    json translated = json::array();
    json detected = json::array();
    for (const std::string& text : texts) {
        std::string itemSource = from;
        if (detect) {
            const auto found = detector_->Detect(text, format == "html");
            if (found.empty())
                return LtError(400, "Cannot detect the language of the text: name the source "
                                    "language");
            itemSource = found.front().code;
            detected.push_back(
                {{"confidence", found.front().confidence}, {"language", LtCode(itemSource)}});
        }
        logDetail = "libretranslate " + itemSource + "->" + to + " ";
        Result<PlannedRoute> route = PlannedRoute{};
        if (itemSource != to)
            route = translator_.Plan(itemSource, to, deadline);
        if (!route.Ok()) {
            const Error& failure = route.Failure();
            if (failure.status != 422)
                return LtError(failure.status, failure.reason);
            return LtError(400, LanguageName(to) + " (" + LtCode(to) +
                                    ") is not available as a target language from " +
                                    LanguageName(itemSource) + " (" + LtCode(itemSource) + ")");
        }
        const Translation translation =
            TranslateForFace(translator_, route.Value(), text, format == "html", deadline);
        logDetail += DescribeForLog(translation);
        if (!translation.text.Ok())
            return TranslationFailure(translation);
        translated.push_back(translation.text.Value());
    }

    json answer = {{"translatedText", batch ? translated : translated.front()}};
    if (detect)
        answer["detectedLanguage"] = batch ? detected : detected.front();
    // The engines give one translation each: asked for alternatives, there are none.
    const auto alternatives = arguments.find("alternatives");
    if (alternatives != arguments.end() && !alternatives->is_null()) {
        json none = json::array();
        answer["alternatives"] = batch ? json(std::vector<json>(texts.size(), none)) : none;
    }
    return JsonAnswer(200, answer);
}

HttpResponse LibreTranslateFace::Languages() {
    const RouteListing listing = translator_.ListRoutes(Clock::now() + settings_.timeout);
    json languages = json::array();
    for (const auto& [code, reached] : listing.targets) {
        if (reached.empty())
            continue;
        json targets = json::array();
        for (const auto& [to, choice] : reached)
            targets.push_back(LtCode(to));
        languages.push_back(
            {{"code", LtCode(code)}, {"name", LanguageName(code)}, {"targets", targets}});
    }
    return JsonAnswer(200, languages);
}

HttpResponse LibreTranslateFace::Detect(const json& arguments) {
    const auto text = StringArgument(arguments, "q");
    if (!text)
        return Missing("q");
    if (!detector_)
        return DetectionDisabled();
    if (const auto fault = TextFault(*text))
        return LtError(400, "Invalid request: " + *fault);
    json found = json::array();
    for (const DetectedLanguage& language : detector_->Detect(*text))
        found.push_back({{"confidence", language.confidence}, {"language", LtCode(language.code)}});
    return JsonAnswer(200, found);
}

HttpResponse LibreTranslateFace::FrontendSettings(const HttpRequest& request) const {
    // This machine's programs need no key; a web page's or another machine's request does.
    const bool keyRequired =
        settings_.keysRequired && (!IsLoopbackAddress(request.peer) || request.Header("Origin"));
    const json source = detector_ ? json{{"code", "auto"}, {"name", "Auto Detect"}}
                                  : json{{"code", "en"}, {"name", "English"}};
    const json target = detector_ ? json{{"code", "en"}, {"name", "English"}}
                                  : json{{"code", "es"}, {"name", "Spanish"}};
    return JsonAnswer(
        200, {{"charLimit", settings_.charLimit == 0 ? json(-1) : json(settings_.charLimit)},
              {"frontendTimeout", 500},
              {"apiKeys", settings_.keysRequired},
              {"keyRequired", keyRequired},
              {"suggestions", false},
              {"filesTranslation", false},
              {"supportedFilesFormat", json::array()},
              {"language", {{"source", source}, {"target", target}}}});
}

namespace {

// The refusals of a shared service in LibreTranslate's words, which its clients read (Dialect
// tells a missing key from a wrong one by them): a missing key is its 400, a rate limit its
// "Slowdown: ".
HttpResponse LtRefusal(const Error& error) {
    Error told = error;
    if (error.status == 403 && error.reason == kKeyMissingReason)
        told = {400, "Please contact the server operator to get an API key"};
    else if (error.status == 403 && error.reason == kKeyInvalidReason)
        told.reason = "Invalid API key";
    else if (error.status == 429)
        told.reason = "Slowdown: " + error.reason;
    return JsonRefusal(told, {{"error", told.reason}});
}

// Its clients post JSON, or a form with q where the program's form has text (one that names
// a langpair is APy's).
bool ClaimsTranslate(const HttpRequest& request) {
    if (request.method != "POST")
        return false;
    if (RequestMediaType(request) == "application/json")
        return true;
    const auto arguments = ReadArguments(request, true);
    return arguments && HasArgument(*arguments, "q") &&
           !HasArgument(*arguments, protocol::kFieldText) && !HasArgument(*arguments, "langpair");
}

// The program (WinHTTP and GTK alike) asks for its listing with Accept "text/html, */*";
// LibreTranslate's clients ask with "*/*", "application/json" or no Accept at all (browser
// fetches, urllib, npm's "libretranslate"), so every other GET gets LibreTranslate's list.
// HEAD keeps the program's headers, as it always had them.
bool ClaimsLanguages(const HttpRequest& request) {
    if (request.method == "HEAD")
        return false;
    if (request.method != "GET" || RequestMediaType(request) == "application/json")
        return true;
    const auto accept = request.Header("Accept");
    return !accept || protocol::ToLowerAscii(*accept).find("text/html") == std::string::npos;
}

} // namespace

FaceDefinition LibreTranslateFaceDefinition() {
    return {
        .name = "libretranslate",
        .claims =
            [](const HttpRequest& request) {
                const std::string_view path = request.Path();
                return path == "/detect" || path == "/spec" || path == "/frontend/settings" ||
                       path == "/suggest" ||
                       (path == protocol::kTranslatePath && ClaimsTranslate(request)) ||
                       (path == "/languages" && ClaimsLanguages(request));
            },
        .refusal = LtRefusal,
        .make = [](Translator& translator, const FaceSettings& settings) -> std::unique_ptr<Face> {
            return std::make_unique<LibreTranslateFace>(translator, settings,
                                                        MakeLanguageDetector());
        }};
}

} // namespace tervane::service
