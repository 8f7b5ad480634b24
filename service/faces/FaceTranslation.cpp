#include "service/faces/FaceTranslation.h"

#include "protocol/Utf8.h"
#include "service/faces/HtmlText.h"

namespace tervane::service {
namespace {

bool Blank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

// Apertium keeps neither leading nor trailing blanks of a text; HTML's runs need theirs.
Translation TranslateRun(Translator& translator, const PlannedRoute& route, const std::string& text,
                         Clock::time_point deadline, WorkBudget& budget) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    Translation result =
        translator.Run(route, text.substr(first, last - first + 1), deadline, &budget);
    if (result.text.Ok())
        result.text = text.substr(0, first) + result.text.Value() + text.substr(last + 1);
    return result;
}

} // namespace

std::optional<std::string> TextFault(const std::string& text) {
    if (text.find('\0') != std::string::npos)
        return "Text contains a NUL byte";
    if (!protocol::IsValidUtf8(text))
        return "Text is not valid UTF-8";
    return std::nullopt;
}

Translation TranslateForFace(Translator& translator, const PlannedRoute& route,
                             const std::string& text, bool html, Clock::time_point deadline) {
    const std::string engine = translator.UsedEngine().Engines().at(route.engine)->Name();
    Translation whole{text, DescribeRoute(route.route), engine};
    if (route.route.empty() || Blank(text))
        return whole;
    if (!html)
        return translator.Run(route, text, deadline);
    std::string translated;
    // The whole text's budget, shared by its runs between tags.
    WorkBudget budget(text.size(), route.route.size());
    for (const HtmlPiece& piece : SplitHtml(text)) {
        if (!piece.translate) {
            translated += piece.text;
            continue;
        }
        Translation run = TranslateRun(translator, route, piece.text, deadline, budget);
        if (!run.text.Ok())
            return run;
        translated += EscapeHtmlText(run.text.Value());
    }
    whole.text = translated;
    return whole;
}

std::string DescribeForLog(const Translation& translation) {
    return (translation.engine.empty() ? "" : "engine=" + translation.engine + " ") +
           "route=" + translation.route + " ";
}

} // namespace tervane::service
