#pragma once
// How the translation flow lays out a translation for the balloon.
#include "protocol/WordsAnswer.h"

#include <string>
#include <string_view>
#include <vector>

namespace tervane {

// The lines of `text` wrapped at `width` characters. Only the space separates words; each
// word keeps its space, so every line ends with one. A word longer than the width stands
// alone on its line (after an empty first line when it comes first); two spaces in a row
// make a word of one space; a line break is an ordinary character of its word.
std::vector<std::string> WrapWords(std::string_view text, std::size_t width);

// The dictionary's entries as the balloon shows them under the translation: one line per
// entry, each translation followed by the entry's part of speech in parentheses ("bank (n),
// bench (n)"; none when the engine names none), wrapped as WrapWords wraps but with no
// blank at a line's end.
std::vector<std::string> DictionaryLines(const std::vector<protocol::WordEntry>& entries,
                                         std::size_t width);

} // namespace tervane
