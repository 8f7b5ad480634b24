#include "service/faces/ApyFace.h"

#include "protocol/ServiceProtocol.h"
#include "service/core/LogText.h"
#include "service/faces/ApyCodes.h"
#include "service/faces/FaceAnswer.h"
#include "service/faces/FaceTranslation.h"

#include <cctype>
#include <deque>
#include <optional>
#include <set>

namespace tervane::service {
namespace {

using nlohmann::json;

HttpResponse ApySuccess(json data) {
    return JsonAnswer(
        200,
        {{"responseData", std::move(data)}, {"responseDetails", nullptr}, {"responseStatus", 200}});
}

// APy lists only the modes whose codes have its shape: two or three letters and at most one
// variant ("cat_valencia", never "cat_valencia_uni").
bool ApyListsCode(std::string_view code) {
    const std::size_t underscore = code.find('_');
    const std::string_view base = code.substr(0, underscore);
    if (base.size() < 2 || base.size() > 3)
        return false;
    for (char c : base) {
        if (c < 'a' || c > 'z')
            return false;
    }
    if (underscore == std::string_view::npos)
        return true;
    const std::string_view variant = code.substr(underscore + 1);
    if (variant.empty())
        return false;
    for (char c : variant) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

HttpResponse MissingArgument(std::string_view name) {
    return ApyError(400, "Missing argument " + std::string(name));
}

std::vector<std::string> SplitBars(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t bar = text.find('|'); bar != std::string::npos; bar = text.find('|', start)) {
        parts.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

// APy's format argument: HTML unless told txt (its deformatter's name without the prefix).
std::optional<bool> ReadHtmlFormat(const Arguments& arguments) {
    const auto format = LastArgument(arguments, "format");
    if (!format || *format == "html" || *format == "html-noent")
        return true;
    if (*format == "txt" || *format == "text")
        return false;
    return std::nullopt;
}

} // namespace

HttpResponse ApyError(int status, const std::string& explanation) {
    HttpResponse response = JsonAnswer(status, {{"status", "error"},
                                                {"code", status},
                                                {"message", std::string(StandardReason(status))},
                                                {"explanation", explanation}});
    response.reason = explanation; // for the log; APy's clients read the body
    return response;
}

HttpResponse TranslationFailure(const Translation& translation) {
    const Error& failure = translation.text.Failure();
    if (translation.busy)
        return BusyJsonAnswer(failure.reason, {{"status", "error"},
                                               {"code", 503},
                                               {"message", "Service Unavailable"},
                                               {"explanation", failure.reason}});
    return ApyError(failure.status, failure.reason);
}

ApyFace::ApyFace(Translator& translator, std::chrono::milliseconds timeout,
                 std::unique_ptr<LanguageDetector> detector)
    : translator_(translator), timeout_(timeout), detector_(std::move(detector)) {}

HttpResponse ApyFace::Handle(const HttpRequest& request, std::string& logDetail) {
    logDetail = "apy ";
    if (request.method != "GET" && request.method != "POST") {
        HttpResponse refused = ApyError(405, "Method Not Allowed");
        refused.headers.emplace_back("Allow", "GET, POST");
        return refused;
    }
    const auto arguments = ReadArguments(request, true); // as APy reads them
    if (!arguments)
        return ApyError(400, "Malformed query or form: a percent-escape is cut short or not "
                             "hexadecimal, or there are more than 64 arguments");
    const std::string_view path = request.Path();
    if (path == "/listPairs")
        return ListPairs(*arguments);
    if (path == "/translateChain")
        return TranslateChain(*arguments, logDetail);
    if (path == "/perWord")
        return PerWord(*arguments, logDetail);
    if (path == "/listLanguageNames")
        return ListLanguageNames(*arguments);
    if (path == "/identifyLang")
        return IdentifyLang(*arguments);
    return Translate(*arguments, logDetail);
}

ApyFace::DirectPairs ApyFace::ListDirectPairs(Clock::time_point deadline) {
    DirectPairs pairs;
    const auto& engines = translator_.UsedEngine().Engines();
    for (std::size_t i = 0; i < engines.size(); ++i) {
        const Result<PairListing> listing = engines[i]->Pairs(deadline);
        if (!listing.Ok())
            continue; // translate's planning reports it, should the pair be needed
        for (const PairEntry& entry : listing.Value()) {
            auto pair = ApyPairOfHop(entry.hop);
            if (pairs.routes.emplace(pair, PlannedRoute{i, {entry.hop}}).second)
                pairs.order.push_back(std::move(pair));
        }
    }
    return pairs;
}

HttpResponse ApyFace::Translate(const Arguments& arguments, std::string& logDetail) {
    const auto deadline = Clock::now() + timeout_;
    const auto langpair = LastArgument(arguments, "langpair");
    if (!langpair)
        return MissingArgument("langpair");
    const auto text = LastArgument(arguments, "q");
    if (!text)
        return MissingArgument("q");
    const std::vector<std::string> codes = SplitBars(*langpair);
    if (codes.size() != 2)
        return ApyError(400, "That pair is invalid, use e.g. eng|spa");
    if (const auto fault = TextFault(*text))
        return ApyError(400, *fault);
    const auto html = ReadHtmlFormat(arguments);
    if (!html)
        return ApyError(400, "That format is not served, use txt or html");
    const std::pair<std::string, std::string> pair{ApyAlpha3(codes[0]), ApyAlpha3(codes[1])};
    logDetail += EscapeForLog(pair.first, 32) + "|" + EscapeForLog(pair.second, 32) + " ";

    // A pair the engines offer in one step is translated by it, as APy would; any other the
    // service can route (APy would refuse it) through the same chain as the program's.
    std::optional<PlannedRoute> route;
    DirectPairs direct = ListDirectPairs(deadline);
    if (const auto found = direct.routes.find(pair); found != direct.routes.end()) {
        route = found->second;
    } else {
        const std::string from = RoutingNodeForApy(pair.first);
        const std::string to = RoutingNodeForApy(pair.second);
        if (from.empty() || to.empty() || from == to)
            return ApyError(400, "That pair is not installed");
        Result<PlannedRoute> planned = translator_.Plan(from, to, deadline);
        if (!planned.Ok()) {
            const Error& failure = planned.Failure();
            return failure.status == 422 ? ApyError(400, "That pair is not installed")
                                         : ApyError(failure.status, failure.reason);
        }
        route = std::move(planned).Value();
    }
    const Translation translation = TranslateForFace(translator_, *route, *text, *html, deadline);
    logDetail += DescribeForLog(translation);
    if (!translation.text.Ok())
        return TranslationFailure(translation);
    return ApySuccess({{"translatedText", translation.text.Value()}});
}

Translation ApyFace::RunChain(const std::vector<PlannedRoute>& steps, const std::string& text,
                              bool html, Clock::time_point deadline) {
    Translation result{text, "", ""};
    for (const PlannedRoute& step : steps) {
        Translation next = TranslateForFace(translator_, step, result.text.Value(), html, deadline);
        next.route = result.route + (result.route.empty() ? "" : ",") + next.route;
        const bool named = result.engine.find(next.engine) != std::string::npos;
        next.engine = named ? result.engine
                            : result.engine + (result.engine.empty() ? "" : ",") + next.engine;
        result = std::move(next);
        if (!result.text.Ok())
            break;
    }
    return result;
}

HttpResponse ApyFace::TranslateChain(const Arguments& arguments, std::string& logDetail) {
    const auto deadline = Clock::now() + timeout_;
    const auto langpairs = LastArgument(arguments, "langpairs");
    if (!langpairs)
        return MissingArgument("langpairs");
    const std::vector<std::string> given = SplitBars(*langpairs);
    std::vector<std::string> chain;
    for (const std::string& code : given)
        chain.push_back(ApyAlpha3(code));
    if (chain.size() < 2 || (chain.size() == 2 && chain[0] == chain[1]))
        return ApyError(400, "Need at least two languages, use e.g. eng|spa");
    logDetail += EscapeForLog(*langpairs) + " ";
    // No longer than a route may be (--max-hops): refused as APy refuses a chain it has no
    // path for.
    if (chain.size() - 1 > translator_.MaxHops())
        return ApyError(400, "No path found for " + given.front() + "-" + given.back());

    DirectPairs direct = ListDirectPairs(deadline);
    std::vector<PlannedRoute> steps;
    if (chain.size() == 2) {
        // Two languages: the shortest chain, as the service routes it.
        const std::string from = RoutingNodeForApy(chain[0]);
        const std::string to = RoutingNodeForApy(chain[1]);
        Result<PlannedRoute> planned = from.empty() || to.empty() || from == to
                                           ? Result<PlannedRoute>(Error{422, ""})
                                           : translator_.Plan(from, to, deadline);
        if (!planned.Ok()) {
            if (planned.Failure().status != 422)
                return ApyError(planned.Failure().status, planned.Failure().reason);
            return ApyError(400, "No path found for " + given[0] + "-" + given[1]);
        }
        chain.resize(1);
        for (const Hop& hop : planned.Value().route) {
            chain.back() = ApyPairOfHop(hop).first;
            chain.push_back(ApyPairOfHop(hop).second);
        }
        steps.push_back(std::move(planned).Value());
    } else {
        for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
            const auto found = direct.routes.find({chain[i], chain[i + 1]});
            if (found == direct.routes.end())
                return ApyError(400, "Pair " + chain[i] + "-" + chain[i + 1] + " is not installed");
            steps.push_back(found->second);
        }
    }

    json data = {{"translationChain", chain}};
    const auto text = LastArgument(arguments, "q");
    if (!text || text->empty())
        return ApySuccess(std::move(data));
    if (const auto fault = TextFault(*text))
        return ApyError(400, *fault);
    const auto html = ReadHtmlFormat(arguments);
    if (!html)
        return ApyError(400, "That format is not served, use txt or html");
    const Translation translation = RunChain(steps, *text, *html, deadline);
    logDetail += DescribeForLog(translation);
    if (!translation.text.Ok())
        return TranslationFailure(translation);
    data["translatedText"] = translation.text.Value();
    return ApySuccess(std::move(data));
}

HttpResponse ApyFace::ListPairs(const Arguments& arguments) {
    const std::string query = LastArgument(arguments, "q").value_or("pairs");
    if (query != "pairs") {
        // The service has no analysers, generators, taggers or spellers to list.
        static const std::set<std::string> kOtherModes = {
            "analyzers", "analysers", "generators", "taggers", "disambiguators", "spellers"};
        if (kOtherModes.count(query) != 0)
            return JsonAnswer(200, json::object());
        return ApyError(400, "Expecting q argument to be one of analysers, generators, spellers, "
                             "disambiguators, or pairs");
    }
    const DirectPairs direct = ListDirectPairs(Clock::now() + timeout_);
    std::vector<std::pair<std::string, std::string>> listed;
    for (const auto& pair : direct.order) {
        if (ApyListsCode(pair.first) && ApyListsCode(pair.second))
            listed.push_back(pair);
    }
    if (const auto source = LastArgument(arguments, "src")) {
        // Every language a chain of pairs reaches from src, as APy lists them.
        std::map<std::string, std::vector<std::string>> next;
        for (const auto& [from, to] : listed)
            next[from].push_back(to);
        listed.clear();
        std::map<std::string, std::size_t> hops = {{*source, 0}};
        std::deque<std::string> queue = {*source};
        while (!queue.empty()) {
            const std::string at = queue.front();
            queue.pop_front();
            if (hops[at] == translator_.MaxHops())
                continue;
            for (const std::string& to : next[at]) {
                if (hops.emplace(to, hops[at] + 1).second) {
                    listed.emplace_back(*source, to);
                    queue.push_back(to);
                }
            }
        }
    }
    json rows = json::array();
    for (const auto& [from, to] : listed)
        rows.push_back({{"sourceLanguage", from}, {"targetLanguage", to}});
    return ApySuccess(std::move(rows));
}

FaceDefinition ApyFaceDefinition() {
    return {
        .name = "apy",
        .claims =
            [](const HttpRequest& request) {
                const std::string_view path = request.Path();
                if (path == "/listPairs" || path == "/translateChain" || path == "/perWord" ||
                    path == "/listLanguageNames" || path == "/identifyLang")
                    return true;
                // LibreTranslate's clients post JSON; the program posts its form, no query.
                if (path != protocol::kTranslatePath ||
                    (request.method == "POST" && RequestMediaType(request) == "application/json"))
                    return false;
                const auto arguments = ReadArguments(request, true);
                // The program only posts; a GET with a query is APy's, even one that misses
                // langpair.
                return arguments && (HasArgument(*arguments, "langpair") ||
                                     (request.method == "GET" && !arguments->empty()));
            },
        .refusal =
            [](const Error& error) {
                return JsonRefusal(error, {{"status", "error"},
                                           {"code", error.status},
                                           {"message", std::string(StandardReason(error.status))},
                                           {"explanation", error.reason}});
            },
        .make = [](Translator& translator, const FaceSettings& settings) -> std::unique_ptr<Face> {
            return std::make_unique<ApyFace>(translator, settings.timeout, MakeLanguageDetector());
        }};
}

} // namespace tervane::service
