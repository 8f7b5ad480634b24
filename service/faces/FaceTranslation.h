// One text translated for APy's or LibreTranslate's face: through the same translator, turns
// and engines as the program's protocol, as plain text or as HTML.
#pragma once

#include "service/engines/Translator.h"

#include <optional>
#include <string>

namespace tervane::service {

// Why a text cannot be given to an engine (not UTF-8, a NUL byte); nullopt when it can.
std::optional<std::string> TextFault(const std::string& text);

// A text with nothing but blanks comes back as it is, without an engine; HTML's tags stay in
// place and each run of text between them is translated on its own.
Translation TranslateForFace(Translator& translator, const PlannedRoute& route,
                             const std::string& text, bool html, Clock::time_point deadline);

// The log's account of a translation: "engine=apertium route=fr-es ".
std::string DescribeForLog(const Translation& translation);

} // namespace tervane::service
