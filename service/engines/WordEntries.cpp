#include "service/engines/WordEntries.h"

#include "service/engines/WordUnits.h"

#include <algorithm>
#include <set>

namespace tervane::service {
namespace {

// Apertium's tags of punctuation: "banco." is still one word.
bool IsPunctuation(const std::vector<std::string>& analyses) {
    static const std::set<std::string> kPunctuation = {"sent",   "cm",    "lpar",   "rpar",
                                                       "lquest", "guio",  "apos",   "quot",
                                                       "lquot",  "rquot", "percent"};
    return std::all_of(analyses.begin(), analyses.end(), [](const std::string& analysis) {
        return kPunctuation.count(PartOfSpeech(analysis)) != 0;
    });
}

} // namespace

std::string PartOfSpeech(const std::string& analysis) {
    const std::size_t open = analysis.find('<');
    if (open == std::string::npos)
        return "";
    const std::size_t close = analysis.find('>', open);
    return close == std::string::npos ? "" : analysis.substr(open + 1, close - open - 1);
}

std::string TranslationOf(const std::string& target) {
    if (target.empty() || target.front() == '@' || target.front() == '*' || target.front() == '#')
        return "";
    std::string translation = WithoutTags(target);
    // "#" marks where a multiword's invariable part went ("get# married").
    std::erase(translation, '#');
    return translation;
}

void AddTranslations(std::vector<protocol::WordEntry>& entries, const std::string& partOfSpeech,
                     const std::vector<std::string>& translations) {
    auto entry = std::find_if(entries.begin(), entries.end(), [&](const protocol::WordEntry& e) {
        return e.partOfSpeech == partOfSpeech;
    });
    for (const std::string& translation : translations) {
        if (translation.empty())
            continue;
        if (entry == entries.end()) {
            entries.push_back({partOfSpeech, {}});
            entry = entries.end() - 1;
        }
        if (std::find(entry->translations.begin(), entry->translations.end(), translation) ==
            entry->translations.end())
            entry->translations.push_back(translation);
    }
}

std::optional<std::size_t> OneKnownWord(const std::vector<std::vector<std::string>>& words) {
    std::optional<std::size_t> word;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (IsPunctuation(words[i]))
            continue;
        if (word || words[i].empty() || words[i].front().starts_with('*'))
            return std::nullopt;
        word = i;
    }
    return word;
}

std::vector<protocol::WordEntry> DictionaryEntries(const std::vector<std::string>& analyses,
                                                   const std::vector<std::string>& lookups) {
    std::vector<protocol::WordEntry> entries;
    for (std::size_t i = 0; i < analyses.size() && i < lookups.size(); ++i) {
        std::vector<std::string> translations;
        for (const std::string& target : SplitSlashes(lookups[i]))
            translations.push_back(TranslationOf(target));
        AddTranslations(entries, PartOfSpeech(analyses[i]), translations);
    }
    return entries;
}

std::optional<Result<std::vector<protocol::WordEntry>>>
LookUpWordByStages(Engine& engine, const Hop& hop, const std::string& text,
                   Clock::time_point deadline) {
    using Entries = Result<std::vector<protocol::WordEntry>>;
    Result<std::vector<std::string>> units =
        StageUnits(engine, hop, WordStage::DictionaryAnalyser, text, deadline);
    // 400: the pair has no analyser of its own to run.
    if (!units.Ok())
        return units.Failure().status == 400 ? std::nullopt
                                             : std::optional<Entries>(units.Failure());
    std::vector<std::vector<std::string>> words;
    for (const std::string& unit : units.Value())
        words.push_back(AnalysesOf(unit));
    const std::optional<std::size_t> word = OneKnownWord(words);
    if (!word)
        return Entries(std::vector<protocol::WordEntry>());
    const Result<std::vector<std::vector<std::string>>> lookups =
        LookUpAnalyses(engine, hop, {units.Value()[*word]}, deadline);
    if (!lookups.Ok())
        return Entries(lookups.Failure());
    return Entries(DictionaryEntries(words[*word], lookups.Value().front()));
}

std::optional<Result<std::vector<protocol::WordEntry>>>
Engine::LookUpWord(const Hop& hop, const std::string& text, Clock::time_point deadline) {
    return LookUpWordByStages(*this, hop, text, deadline);
}

} // namespace tervane::service
