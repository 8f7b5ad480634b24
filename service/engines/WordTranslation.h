// A one-word text translated with its dictionary entries: the translation as Translate
// gives it, then, under a turn of the same engine, the route's first pair's entries for the
// word, each translation carried through the route's later pairs.
#pragma once

#include "service/engines/Translator.h"

namespace tervane::service {

struct WordTranslation {
    Translation translation; // as Translate gives it; its failure is the request's
    std::vector<protocol::WordEntry> entries;
    // Why there are no entries when looking them up failed: the translation stands without
    // them (said in the log only).
    std::string lookupFailure;
};

// Entries are looked up only for a text of at most protocol::kMaxWordLength characters on
// one line, between different languages.
WordTranslation TranslateWord(Translator& translator, const std::string& source,
                              const std::string& target, const std::string& text,
                              Clock::time_point deadline);

} // namespace tervane::service
