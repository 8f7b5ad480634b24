// The program's request for one word: POST /words with the form of /translate, answered with
// the word's translation and, under it, the dictionary's translations of each of its
// analyses. Both sides include this header. Standard C++ only (built for Windows too).
//
// The answer (200, text/plain; charset=utf-8) is the translation's line exactly as
// /translate answers it (EncodeAnswer, which never holds a line feed), then one line per
// dictionary entry, each after a line feed: the part of speech (an engine's tag such as
// "n" or "vblex", empty when the engine names none), a tab, and the entry's translations
// separated by tabs. A text the dictionary lacks, or more than one word, has no entry lines.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tervane::protocol {

inline constexpr std::string_view kWordsPath = "/words";

// What one answer carries at most; the encoder drops what lies beyond.
inline constexpr std::size_t kMaxWordEntries = 8;
inline constexpr std::size_t kMaxWordTranslations = 8;
// The longest text, in characters, the program asks /words for.
inline constexpr std::size_t kMaxWordLength = 64;

struct WordEntry {
    std::string partOfSpeech;
    std::vector<std::string> translations;
    bool operator==(const WordEntry&) const = default;
};

struct WordsAnswer {
    std::string translation;
    std::vector<WordEntry> entries;
    bool operator==(const WordsAnswer&) const = default;
};

// The answer's body. A tab or line break inside a field becomes a space, an empty
// translation is dropped, an entry left with none is dropped, and the limits above hold.
std::string EncodeWordsAnswer(const WordsAnswer& answer);

// The inverse; the translation with LF line breaks, as DecodeAnswer gives it. nullopt when
// the first line is not a quoted answer or an entry line has no translation.
std::optional<WordsAnswer> DecodeWordsAnswer(std::string_view body);

// True when a selection is one word worth a dictionary look-up: after blanks at either end
// are trimmed, 1 to kMaxWordLength characters of well-formed UTF-8 with no blank inside
// (ASCII blanks, no-break and other Unicode spaces) and at least one character that is
// not ASCII punctuation or a digit.
bool IsSingleWord(std::string_view text);

// The word a selection holds, without the blanks and control characters around it (a
// selected line's line break), which the dictionary would not find.
std::string_view WithoutBlanksAround(std::string_view text);

} // namespace tervane::protocol
