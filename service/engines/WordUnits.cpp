#include "service/engines/WordUnits.h"

#include "service/apertium/ApertiumText.h"

namespace tervane::service {

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

std::vector<std::string> AnalysesOf(const std::string& unit) {
    std::vector<std::string> parts = SplitSlashes(unit);
    if (parts.size() > 1)
        parts.erase(parts.begin());
    return parts;
}

Result<std::vector<std::string>> StageUnits(Engine& engine, const Hop& hop, WordStage stage,
                                            const std::string& text, Clock::time_point deadline) {
    const auto output = engine.RunWordStage(hop, stage, {ToApertiumStream(text)}, deadline);
    if (!output)
        return Error{400, "No output"};
    if (!output->Ok())
        return output->Failure();
    // Read as APy reads it, after the text formatter's reverse (escapes resolved).
    return LexicalUnits(FromApertiumStream(output->Value().front()));
}

Result<std::vector<std::vector<std::string>>> LookUpAnalyses(Engine& engine, const Hop& hop,
                                                             const std::vector<std::string>& units,
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
    std::vector<std::vector<std::string>> lookups;
    for (const std::string& output : looked->Value()) {
        std::vector<std::string> translations;
        for (const std::string& unit : LexicalUnits(output)) {
            const std::size_t slash = unit.find('/');
            translations.push_back(slash == std::string::npos ? "" : unit.substr(slash + 1));
        }
        lookups.push_back(std::move(translations));
    }
    return lookups;
}

} // namespace tervane::service
