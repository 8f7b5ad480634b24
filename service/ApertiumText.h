// Plain text into and out of Apertium's stream format, done in-process so that a request
// costs no extra process start (what apertium-destxt and apertium-retxt do on the command line).
#pragma once

#include <string>
#include <string_view>

namespace tervane::service {

// Escapes the stream's special characters and wraps line breaks, tabs and runs of spaces
// in superblanks, which every tool passes through unchanged and in order; so paragraphs
// and line breaks survive translation. Ends with an empty superblank, without which the
// last word's punctuation can be lost.
std::string ToApertiumStream(std::string_view text);

// Back to plain text: superblank brackets removed, escapes resolved.
std::string FromApertiumStream(std::string_view stream);

// Removes the marks Apertium puts before words it could not translate or generate
// ('*', '@', '#'), each only when the source text did not use that character itself, so
// a user's own "#tag" or "*note*" survives.
std::string RemoveUnknownWordMarks(std::string_view output, std::string_view source);

} // namespace tervane::service
