// Each installed pair translates a check sentence of its source language before its first
// use. Debian ships pairs that cannot translate at all (data files missing, a stage that
// crashes on ordinary sentences); a pair that fails its check is no longer offered nor
// routed through, instead of answering 502 to its users. Results are kept with the identity
// of the pair's files (PairCheckRecord): a start with unchanged pairs checks none, and a
// pair nobody uses is never checked, so a start costs no translation at all.
#pragma once

#include "service/core/Result.h"
#include "service/engines/PairCheckRecord.h"

#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace tervane::service {

// An ordinary sentence in the Apertium language code (the check's text).
std::string CheckSentence(const std::string& apertiumLanguage);

class PairCheck {
  public:
    struct Pair {
        std::string mode;   // "rus-ukr"
        std::string source; // its source language's Apertium code: "rus"
        // The mode file first, then every file its commands name.
        std::vector<std::filesystem::path> files;
    };
    using Log = std::function<void(const std::string&)>;

    // Reads what earlier checks of the same files found (record empty: nothing kept) and
    // says in the log how many pairs are known and how many wait for their first use.
    PairCheck(std::vector<Pair> pairs, Log log, std::filesystem::path record);

    bool Broken(const std::string& mode) const;
    // Not known yet: the pair's first use translates CheckSentence first and settles it.
    bool Unchecked(const std::string& mode) const;
    std::string SentenceFor(const std::string& mode) const;
    // The answer to the check sentence: a failure means the pair broke on it, except a
    // time-out (a busy machine, tried again at the next use) and a failure while the
    // service stops. Returns whether the pair is now known broken.
    bool Settle(const std::string& mode, const Result<std::string>& answer);

  private:
    struct State {
        Pair pair;
        std::string identity;
        enum class Known { Unchecked, Works, Broken } known = Known::Unchecked;
    };
    Log log_;
    PairCheckRecord record_;
    mutable std::mutex mutex_;
    std::map<std::string, State> states_; // by mode
};

} // namespace tervane::service
