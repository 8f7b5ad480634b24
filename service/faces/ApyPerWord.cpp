// APy's /perWord: what the pair's own dictionaries say of each word of a text, read as APy
// reads it from the stream of the pair's first stages: the analyses (morph), each analysis
// looked up in the bilingual dictionary (biltrans), the tagger's choice (tagger) and its
// lookup (translate). Each word is an object of the modes asked for, as APy answers.
#include "service/core/LogText.h"
#include "service/engines/WordUnits.h"
#include "service/faces/ApyFace.h"
#include "service/faces/FaceAnswer.h"
#include "service/faces/FaceTranslation.h"

#include <algorithm>
#include <set>

namespace tervane::service {
namespace {

using nlohmann::json;

// The arguments as APy's web framework reads them: blanks around the value dropped.
std::optional<std::string> StrippedArgument(const Arguments& arguments, std::string_view name) {
    auto value = LastArgument(arguments, name);
    if (!value)
        return value;
    const std::size_t first = value->find_first_not_of(" \t\r\n\f\v");
    if (first == std::string::npos)
        return std::string();
    return value->substr(first, value->find_last_not_of(" \t\r\n\f\v") - first + 1);
}

// The word a unit stands for: its surface form, or the lemma the tagger kept.
std::string InputOf(const std::string& unit) {
    return WithoutTags(SplitSlashes(unit).front());
}

// Each unit's analyses looked up in the pair's bilingual dictionary, as APy lists them.
Result<json> LookUp(Engine& engine, const Hop& hop, const std::vector<std::string>& units,
                    Clock::time_point deadline) {
    Result<std::vector<std::vector<std::string>>> looked =
        LookUpAnalyses(engine, hop, units, deadline);
    if (!looked.Ok())
        return looked.Failure();
    return json(looked.Value());
}

// The words' modes for APy's answer; a failure in APy's terms.
Result<json> PerWordAnswer(Engine& engine, const Hop& hop, const std::set<std::string>& modes,
                           const std::string& text, Clock::time_point deadline) {
    std::map<std::string, json> outputs;
    std::vector<std::string> morphUnits;
    std::vector<std::string> taggerUnits;
    if (modes.count("morph") || modes.count("biltrans")) {
        Result<std::vector<std::string>> units =
            StageUnits(engine, hop, WordStage::Analyser, text, deadline);
        if (!units.Ok())
            return units.Failure();
        morphUnits = std::move(units).Value();
        outputs["morph"] = json::array();
        for (const std::string& unit : morphUnits) {
            std::vector<std::string> parts = SplitSlashes(unit);
            outputs["morph"].push_back(std::vector<std::string>(parts.begin() + 1, parts.end()));
        }
    }
    if (modes.count("tagger") || modes.count("disambig") || modes.count("translate")) {
        Result<std::vector<std::string>> units =
            StageUnits(engine, hop, WordStage::Tagger, text, deadline);
        if (!units.Ok())
            return units.Failure();
        taggerUnits = std::move(units).Value();
        outputs["tagger"] = json::array();
        for (const std::string& unit : taggerUnits) {
            if (unit.find('/') == std::string::npos)
                outputs["tagger"].push_back(unit);
            else
                outputs["tagger"].push_back(AnalysesOf(unit));
        }
        outputs["disambig"] = outputs["tagger"];
    }
    // A lookup needs words to look up.
    for (const auto& [mode, units] :
         {std::pair{"biltrans", &morphUnits}, std::pair{"translate", &taggerUnits}}) {
        if (!modes.count(mode))
            continue;
        if (units->empty())
            return Error{400, "No output"};
        Result<json> lookups = LookUp(engine, hop, *units, deadline);
        if (!lookups.Ok())
            return lookups.Failure();
        outputs[mode] = std::move(lookups).Value();
    }

    const std::vector<std::string>& units = taggerUnits.empty() ? morphUnits : taggerUnits;
    json words = json::array();
    for (std::size_t i = 0; i < units.size(); ++i) {
        json word = {{"input", InputOf(units[i])}};
        for (const std::string& mode : modes) {
            const json& output = outputs[mode];
            word[mode] = i < output.size() ? output[i] : json(nullptr);
        }
        words.push_back(std::move(word));
    }
    return words;
}

} // namespace

HttpResponse ApyFace::PerWord(const Arguments& arguments, std::string& logDetail) {
    const auto deadline = Clock::now() + timeout_;
    const auto lang = StrippedArgument(arguments, "lang");
    if (!lang)
        return ApyError(400, "Missing argument lang");
    const auto modesArgument = StrippedArgument(arguments, "modes");
    if (!modesArgument)
        return ApyError(400, "Missing argument modes");
    const auto text = StrippedArgument(arguments, "q");
    if (!text)
        return ApyError(400, "Missing argument q");
    static const std::set<std::string> kModes = {"morph", "biltrans", "tagger", "disambig",
                                                 "translate"};
    std::set<std::string> modes;
    for (std::size_t start = 0;;) {
        const std::size_t space = modesArgument->find(' ', start);
        modes.insert(modesArgument->substr(start, space - start));
        if (space == std::string::npos)
            break;
        start = space + 1;
    }
    for (const std::string& mode : modes) {
        if (!kModes.count(mode))
            return ApyError(400, "Invalid mode argument");
    }
    if (const auto fault = TextFault(*text))
        return ApyError(400, *fault);
    logDetail += "perWord " + EscapeForLog(*lang, 32) + " ";

    // The pair as APy names it ("fra-spa"), among those the engines offer in one step.
    const DirectPairs direct = ListDirectPairs(deadline);
    const auto route =
        std::find_if(direct.routes.begin(), direct.routes.end(), [&](const auto& row) {
            return row.first.first + "-" + row.first.second == *lang;
        });
    if (route == direct.routes.end())
        return ApyError(400, "No output");
    Result<json> words = Error{400, "No output"};
    const Translation done =
        translator_.RunWithTurn(route->second.engine, deadline, [&](Engine& engine) {
            words = PerWordAnswer(engine, route->second.route.front(), modes, *text, deadline);
            return Result<std::string>(std::string());
        });
    logDetail += "engine=" + done.engine + " route=" + route->second.route.front().id + " ";
    if (!done.text.Ok())
        return TranslationFailure(done);
    if (!words.Ok())
        return ApyError(words.Failure().status, words.Failure().reason);

    // pos: only the word at that position, counted in words of the text.
    const auto position = StrippedArgument(arguments, "pos");
    if (!position || position->empty())
        return JsonAnswer(200, words.Value());
    long wanted = 0;
    try {
        wanted = std::stol(*position) - 1;
    } catch (const std::exception&) {
        return ApyError(400, "Invalid pos argument");
    }
    long at = 0;
    for (const json& word : words.Value()) {
        const std::string& input = word["input"].get_ref<const std::string&>();
        at += 1 + static_cast<long>(std::count(input.begin(), input.end(), ' '));
        if (wanted < at)
            return JsonAnswer(200, word);
    }
    HttpResponse none;
    none.contentType = "text/html; charset=UTF-8";
    return none; // as APy: no word there, an empty answer
}

} // namespace tervane::service
