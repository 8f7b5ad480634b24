#include "service/engines/WordTranslation.h"

#include "protocol/Utf8.h"
#include "protocol/WordsAnswer.h"
#include "service/engines/WordEntries.h"

namespace tervane::service {
namespace {

bool WorthLookingUp(const std::string& text) {
    if (text.find_first_of("\r\n") != std::string::npos)
        return false;
    std::size_t characters = 0;
    for (std::size_t at = 0; at < text.size(); at = protocol::NextCharacter(text, at)) {
        if (++characters > protocol::kMaxWordLength)
            return false;
    }
    return characters > 0;
}

// A translation of an earlier pair through a later hop: that pair's dictionary's
// translations of it under the same part of speech where it has them (so that "casa" (n)
// gives "house" and "home", in the dictionary's case), else the pair's translation of it.
Result<std::vector<std::string>> CarryWord(Engine& engine, const Hop& hop,
                                           const std::string& partOfSpeech, const std::string& word,
                                           Clock::time_point deadline) {
    const auto entries = engine.LookUpWord(hop, word, deadline);
    if (entries && !entries->Ok())
        return entries->Failure();
    std::vector<std::string> found;
    for (const protocol::WordEntry& entry :
         entries ? entries->Value() : std::vector<protocol::WordEntry>()) {
        if (partOfSpeech.empty() || entry.partOfSpeech.empty() ||
            entry.partOfSpeech == partOfSpeech)
            found.insert(found.end(), entry.translations.begin(), entry.translations.end());
    }
    if (!found.empty())
        return found;
    Result<std::string> translated = engine.Translate(hop, word, deadline);
    if (!translated.Ok())
        return translated.Failure();
    return std::vector<std::string>{std::move(translated).Value()};
}

// Each translation of the first pair's entries through the later hops (within the answer's
// bounds at each hop, so that no more is carried than it holds).
Result<std::vector<protocol::WordEntry>> CarryThrough(Engine& engine, const std::vector<Hop>& hops,
                                                      std::vector<protocol::WordEntry> entries,
                                                      Clock::time_point deadline) {
    for (const Hop& hop : hops) {
        if (entries.size() > protocol::kMaxWordEntries)
            entries.resize(protocol::kMaxWordEntries);
        std::vector<protocol::WordEntry> carried;
        for (protocol::WordEntry& entry : entries) {
            if (entry.translations.size() > protocol::kMaxWordTranslations)
                entry.translations.resize(protocol::kMaxWordTranslations);
            for (const std::string& translation : entry.translations) {
                Result<std::vector<std::string>> words =
                    CarryWord(engine, hop, entry.partOfSpeech, translation, deadline);
                if (!words.Ok())
                    return words.Failure();
                AddTranslations(carried, entry.partOfSpeech, words.Value());
            }
        }
        entries = std::move(carried);
    }
    return entries;
}

} // namespace

WordTranslation TranslateWord(Translator& translator, const std::string& source,
                              const std::string& target, const std::string& text,
                              Clock::time_point deadline) {
    WordTranslation word{translator.Translate(source, target, text, deadline), {}, {}};
    const std::string lookedUp(protocol::WithoutBlanksAround(text));
    if (!word.translation.text.Ok() || source == target || !WorthLookingUp(lookedUp))
        return word;
    const Result<PlannedRoute> planned = translator.Plan(source, target, deadline);
    if (!planned.Ok())
        return word;
    const std::vector<Hop>& route = planned.Value().route;
    const Translation looked =
        translator.RunWithTurn(planned.Value().engine, deadline, [&](Engine& engine) {
            auto entries = engine.LookUpWord(route.front(), lookedUp, deadline);
            if (!entries)
                return Result<std::string>(std::string());
            if (!entries->Ok())
                return Result<std::string>(entries->Failure());
            Result<std::vector<protocol::WordEntry>> carried =
                CarryThrough(engine, std::vector<Hop>(route.begin() + 1, route.end()),
                             std::move(*entries).Value(), deadline);
            if (!carried.Ok())
                return Result<std::string>(carried.Failure());
            word.entries = std::move(carried).Value();
            return Result<std::string>(std::string());
        });
    if (!looked.text.Ok())
        word.lookupFailure = looked.text.Failure().reason;
    return word;
}

} // namespace tervane::service
