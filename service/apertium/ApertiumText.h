// Plain text into and out of Apertium's stream format, done in-process so that a request
// costs no extra process start. It follows what apertium-destxt and apertium-retxt do for
// the `apertium` command, so that every stage of a pair sees the same stream either way and
// the service's translations are the command's.
#pragma once

#include <string>
#include <string_view>

namespace tervane::service {

// Escapes the stream's special characters and wraps runs of blanks (`~` counts as one, as
// for the text formatter) in superblanks, which every tool passes through unchanged and in
// order; so paragraphs and line breaks survive translation. Like the text formatter, it
// ends the text, and each paragraph, with a full stop and an empty superblank placed before
// the blanks that follow: the tagger, the lexical selection and the transfer then see a
// sentence end there; without it the last words of a text without final punctuation come
// out differently or not at all, and a text ending in an escaped character stalls a stage.
std::string ToApertiumStream(std::string_view text);

// Back to plain text, as the text formatter's reverse does: each added full stop with its
// empty superblank removed, superblank brackets removed, escapes resolved.
std::string FromApertiumStream(std::string_view stream);

// Removes the marks Apertium puts before words it could not translate or generate
// ('*', '@', '#'), each only when the source text did not use that character itself, so
// a user's own "#tag" or "*note*" survives.
std::string RemoveUnknownWordMarks(std::string_view output, std::string_view source);

} // namespace tervane::service
