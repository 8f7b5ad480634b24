// APy's /perWord: what the pair's own dictionaries say of each word of a text, read as APy
// reads it from the stream of the pair's first stages: the analyses (morph), each analysis
// looked up in the bilingual dictionary (biltrans), the tagger's choice (tagger) and its
// lookup (translate). Each word is an object of the modes asked for, as APy answers.
#include "service/apertium/ApertiumText.h"
#include "service/core/LogText.h"
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

// Every "^...$" of the stream, its inside, found as APy's pattern finds them (an escaped
// "$" ends one too).
std::vector<std::string> LexicalUnits(const std::string& stream) {
    std::vector<std::string> units;
    for (std::size_t open = stream.find('^'); open != std::string::npos;) {
        const std::size_t close = stream.find('$', open + 1);
        if (close == std::string::npos)
            break;
        units.push_back(stream.substr(open + 1, close - open - 1));
        open = stream.find('^', close + 1);
    }
    return units;
}

std::vector<std::string> SplitSlashes(const std::string& unit) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t slash = unit.find('/'); slash != std::string::npos;
         slash = unit.find('/', start)) {
        parts.push_back(unit.substr(start, slash - start));
        start = slash + 1;
    }
    parts.push_back(unit.substr(start));
    return parts;
}

std::string WithoutTags(const std::string& analysis) {
    return analysis.substr(0, analysis.find('<'));
}

// The word a unit stands for: its surface form, or the lemma the tagger kept.
std::string InputOf(const std::string& unit) {
    return WithoutTags(SplitSlashes(unit).front());
}

// A unit's analyses, or the unit itself when it has none (the tagger's choice).
std::vector<std::string> AnalysesOf(const std::string& unit) {
    std::vector<std::string> parts = SplitSlashes(unit);
    if (parts.size() > 1)
        parts.erase(parts.begin());
    return parts;
}

// Each unit's analyses looked up in the pair's bilingual dictionary, one request a unit.
Result<json> LookUp(Engine& engine, const Hop& hop, const std::vector<std::string>& units,
                    Clock::time_point deadline) {
    std::vector<std::string> streams;
    for (const std::string& unit : units) {
        std::string stream;
        // Brackets and backslashes escaped again: unescaped, a "[" would open a superblank
        // the lookup waits to see closed (APy's lookup, cut short by its end of input,
        // finds nothing there).
        for (const std::string& analysis : AnalysesOf(unit)) {
            stream += '^';
            for (char c : analysis) {
                if (c == '[' || c == ']' || c == '\\')
                    stream += '\\';
                stream += c;
            }
            stream += '$';
        }
        streams.push_back(std::move(stream));
    }
    const auto looked = engine.RunWordStage(hop, WordStage::Bilingual, streams, deadline);
    if (!looked)
        return Error{400, "No output"};
    if (!looked->Ok())
        return looked->Failure();
    json lookups = json::array();
    for (const std::string& output : looked->Value()) {
        json translations = json::array();
        for (const std::string& unit : LexicalUnits(output)) {
            const std::size_t slash = unit.find('/');
            translations.push_back(slash == std::string::npos ? "" : unit.substr(slash + 1));
        }
        lookups.push_back(std::move(translations));
    }
    return lookups;
}

// The units after a stage of the pair; a refusal when the pair has no such stage, or the
// stage found no word (APy's "No output").
Result<std::vector<std::string>> StageUnits(Engine& engine, const Hop& hop, WordStage stage,
                                            const std::string& stream, Clock::time_point deadline) {
    const auto output = engine.RunWordStage(hop, stage, {stream}, deadline);
    if (!output)
        return Error{400, "No output"};
    if (!output->Ok())
        return output->Failure();
    // Read as APy reads it, after the text formatter's reverse (escapes resolved).
    return LexicalUnits(FromApertiumStream(output->Value().front()));
}

// The words' modes for APy's answer; a failure in APy's terms.
Result<json> PerWordAnswer(Engine& engine, const Hop& hop, const std::set<std::string>& modes,
                           const std::string& text, Clock::time_point deadline) {
    const std::string stream = ToApertiumStream(text);
    std::map<std::string, json> outputs;
    std::vector<std::string> morphUnits;
    std::vector<std::string> taggerUnits;
    if (modes.count("morph") || modes.count("biltrans")) {
        Result<std::vector<std::string>> units =
            StageUnits(engine, hop, WordStage::Analyser, stream, deadline);
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
            StageUnits(engine, hop, WordStage::Tagger, stream, deadline);
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
