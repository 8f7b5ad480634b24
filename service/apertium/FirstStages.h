// The first stages of a pair's mode, for a dictionary of a text's words: the analyser (as the
// mode runs it, or giving lemmas in the dictionary's case), the analyser with the tagger's
// choice, or the bilingual dictionary's lookup. Run as processes of their own, or by the
// pair's host beside its chain (a request that starts with kFirstStagesRequest).
#pragma once

#include "service/apertium/ApertiumMode.h"

#include <optional>
#include <vector>

namespace tervane::service {

enum class FirstStage : char {
    Analyser = 'a',
    DictionaryAnalyser = 'w', // the analyser with -w
    Tagger = 't',
    Bilingual = 'b',
};

// The stage's commands in the pair's mode: the analyser is its first command, the tagger
// every command up to the last tagger before the bilingual lookup, the lookup its own;
// nullopt when the mode has no such stage.
std::optional<std::vector<Command>> FirstStageCommands(const std::vector<Command>& mode,
                                                       FirstStage stage);

// A pair host's request for a first stage: this byte, the stage's letter, then the stream.
// No stream starts with it: every text is UTF-8, which never holds the byte 0xFF.
inline constexpr char kFirstStagesRequest = '\xFF';

} // namespace tervane::service
