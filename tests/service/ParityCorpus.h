// The parity tests' shared pieces: the corpus files (tests/service/parity/) and the stock
// `apertium` command's translation of one text.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tervane::testing {

// One text per line; "\n" inside a line is a line break. Empty lines are skipped.
std::vector<std::string> ReadCorpus(const std::filesystem::path& file);

// `apertium -u` once per text, chained through every pair of the route.
std::string StockTranslation(const std::string& text, const std::vector<std::string>& route);

// The stock translations of many texts, two commands at a time (one for each core).
std::vector<std::string> StockTranslations(const std::vector<std::string>& texts,
                                           const std::vector<std::string>& route);

// A text on one line, line breaks shown as \n, for messages.
std::string Quoted(const std::string& text);

} // namespace tervane::testing
