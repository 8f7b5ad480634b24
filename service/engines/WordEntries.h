// A word's dictionary entries from its analyses and their bilingual lookups: each
// analysis's translations under its part of speech (its first tag, "n" of
// "banco<n><m><sg>"), analyses of the same part of speech merged, duplicates dropped,
// order kept.
#pragma once

#include "service/engines/Engine.h"

#include <string>
#include <vector>

namespace tervane::service {

// "banco<n><m><sg>" -> "n"; empty when the analysis has no tag.
std::string PartOfSpeech(const std::string& analysis);

// The translation in a lookup's target ("get# married<vblex><pri>" -> "get married"); empty
// for what the dictionary lacks ("@banco", "*xyzzy").
std::string TranslationOf(const std::string& target);

// Adds translations under a part of speech: to its entry when there is one, else to a new
// entry at the end; empty ones and those already there left out.
void AddTranslations(std::vector<protocol::WordEntry>& entries, const std::string& partOfSpeech,
                     const std::vector<std::string>& translations);

// Which of a text's words (each given by its analyses) is its one word: punctuation aside,
// exactly one, and known to the analyser ("*xyzzy" is not); nullopt otherwise.
std::optional<std::size_t> OneKnownWord(const std::vector<std::vector<std::string>>& words);

// analyses[i] was looked up as lookups[i] ("house<n><sg>/home<n><sg>").
std::vector<protocol::WordEntry> DictionaryEntries(const std::vector<std::string>& analyses,
                                                   const std::vector<std::string>& lookups);

// The one word of text on the hop, by the pair's analyser and bilingual lookup
// (Engine::RunWordStage): its entries, none when text is not one known word (punctuation
// aside), nullopt when the engine has no such stages.
std::optional<Result<std::vector<protocol::WordEntry>>>
LookUpWordByStages(Engine& engine, const Hop& hop, const std::string& text,
                   Clock::time_point deadline);

} // namespace tervane::service
