// What the service needs from a translation engine: the pairs it offers and one step of
// translation. Apertium pipelines, an APy server and a LibreTranslate server sit behind it.
#pragma once

#include "protocol/WordsAnswer.h"
#include "service/core/Result.h"
#include "service/engines/Router.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tervane::service {

using Clock = std::chrono::steady_clock;

struct PairEntry {
    Hop hop;
    bool variant = false;
    bool operator==(const PairEntry&) const = default;
};

using PairListing = std::vector<PairEntry>;

// How many of a pair's pipelines (or pair hosts) are in one state: "idle", "busy",
// "starting", or requests "waiting" for one.
struct PipelineCount {
    std::string pair;
    std::string state;
    std::size_t count = 0;
};

// The first stages of a pair, for a dictionary of a text's words: the morphological
// analyser (as the pair runs it, or giving lemmas in the dictionary's case: "banco<n>" of
// "Banco"), the analyser with the tagger's choice, or the bilingual dictionary's lookup.
enum class WordStage { Analyser, DictionaryAnalyser, Tagger, Bilingual };

class Engine {
  public:
    virtual ~Engine() = default;
    virtual std::string Name() const = 0;
    // A remote server's engine: its translations have their own bound (--max-remote), so
    // that a server that hangs holds none of the offline engine's turns.
    virtual bool Remote() const { return false; }
    // What the engine offers, by the deadline; a failure when it could not say (a remote
    // server down or too slow).
    virtual Result<PairListing> Pairs(Clock::time_point deadline) = 0;
    // What it was last known to offer, without waiting: nullopt while not known yet.
    virtual std::optional<Result<PairListing>> LastPairs() { return Pairs(Clock::now()); }
    // Translates text (valid UTF-8, no NUL) one step; must return by the deadline. Its
    // failures are the client's status: 502 (engine failed), 503 (busy), 504 (too slow).
    virtual Result<std::string> Translate(const Hop& hop, const std::string& text,
                                          Clock::time_point deadline) = 0;
    // A route of these hops is about to be translated, one after another: an engine may get
    // the later hops ready meanwhile (a cold pair's first request then waits for the slowest
    // start, not for their sum).
    virtual void Prepare(const std::vector<Hop>& /*route*/) {}
    // The stream (Apertium's format) after one stage of the hop's pair, sent as one request
    // each; nullopt when the engine has no such stage (remote engines, a pair without it).
    virtual std::optional<Result<std::vector<std::string>>>
    RunWordStage(const Hop& /*hop*/, WordStage /*stage*/,
                 const std::vector<std::string>& /*streams*/, Clock::time_point /*deadline*/) {
        return std::nullopt;
    }
    // The dictionary's entries for text on the hop when it is one word: none when it is not
    // (or the dictionary lacks it), nullopt when the engine has no dictionary to ask. By
    // default the pair's analyser and bilingual lookup (RunWordStage; WordEntries.cpp).
    virtual std::optional<Result<std::vector<protocol::WordEntry>>>
    LookUpWord(const Hop& hop, const std::string& text, Clock::time_point deadline);
    // What would make a missing pair work, e.g. "install apertium-fra-jpn".
    virtual std::string MissingPairHint(std::string_view from, std::string_view to) const = 0;
    // Its pipelines now, for /metrics; none for an engine that keeps none.
    virtual std::vector<PipelineCount> Pipelines() { return {}; }
};

} // namespace tervane::service
