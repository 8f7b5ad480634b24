// Each installed pair translates a check sentence of its source language, on a thread of its
// own and one pair at a time. Debian ships
// pairs that cannot translate at all (data files missing, a stage that crashes on ordinary
// sentences); a pair that fails its check is not offered and not routed through, instead of
// answering 502 to its users. Results are kept with the identity of the pair's files
// (PairCheckRecord): a start with unchanged pairs checks none.
#pragma once

#include "service/core/Result.h"
#include "service/engines/PairCheckRecord.h"

#include <filesystem>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
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
    // Translates the sentence through a fresh pipeline of the mode and ends the pipeline.
    // A failure means the pair broke on it.
    using Run =
        std::function<Result<std::string>(const std::string& mode, const std::string& text)>;
    using Log = std::function<void(const std::string&)>;

    // record: where results are kept across starts (empty: not kept).
    PairCheck(std::vector<Pair> pairs, Run run, Log log, std::filesystem::path record);
    ~PairCheck(); // waits for the pair in hand, skips the rest
    // From now on no pair is checked or counted as failed: the pair in hand may be ended
    // under the check, as the service stops.
    void Stop() { stopping_ = true; }
    PairCheck(const PairCheck&) = delete;
    PairCheck& operator=(const PairCheck&) = delete;

    bool Broken(const std::string& mode) const;

  private:
    enum class Outcome { Known, Checked, Stopped };
    void CheckAll();
    // Runs the pair's check unless its result is kept for the same files.
    Outcome CheckOne(const Pair& pair);

    std::vector<Pair> pairs_;
    Run run_;
    Log log_;
    PairCheckRecord record_;
    mutable std::mutex mutex_;
    std::set<std::string> known_;
    std::set<std::string> broken_;
    std::atomic<bool> stopping_ = false;
    std::thread thread_;
};

} // namespace tervane::service
