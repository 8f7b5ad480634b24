// Reading the stream of a pair's first stages for a dictionary of words, as APy reads it:
// the lexical units ("^surface/analysis/...$"), their analyses, and each analysis looked up
// in the pair's bilingual dictionary. APy's /perWord and the program's /words share it.
#pragma once

#include "service/engines/Engine.h"

#include <string>
#include <vector>

namespace tervane::service {

// Every "^...$" of the stream, its inside, found as APy's pattern finds them (an escaped
// "$" ends one too).
std::vector<std::string> LexicalUnits(const std::string& stream);

std::vector<std::string> SplitSlashes(const std::string& unit);

// "casa<n><f><sg>" -> "casa".
std::string WithoutTags(const std::string& analysis);

// A unit's analyses, or the unit itself when it has none (the tagger's choice).
std::vector<std::string> AnalysesOf(const std::string& unit);

// The units after a stage of the hop's pair, read from one request of text; a refusal
// (400 "No output", as APy words it) when the pair has no such stage.
Result<std::vector<std::string>> StageUnits(Engine& engine, const Hop& hop, WordStage stage,
                                            const std::string& text, Clock::time_point deadline);

// Each unit's analyses looked up in the hop's bilingual dictionary, one request a unit: for
// each unit, for each analysis, what follows the analysis in the lookup's unit ("house<n><sg>/
// home<n><sg>"; empty when the lookup gave nothing).
Result<std::vector<std::vector<std::string>>> LookUpAnalyses(Engine& engine, const Hop& hop,
                                                             const std::vector<std::string>& units,
                                                             Clock::time_point deadline);

} // namespace tervane::service
