// The arguments of a request to APy's or LibreTranslate's API, read as their servers read
// them: the query, then a form body's fields.
#pragma once

#include "service/http/HttpMessage.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tervane::service {

using Arguments = std::vector<std::pair<std::string, std::string>>;

// The media type of a Content-Type value, lower case, without parameters or blanks.
std::string MediaType(std::string_view contentType);

// The request's media type; empty without a Content-Type.
std::string RequestMediaType(const HttpRequest& request);

// The query's arguments and, when the body is a form (or has no type), its fields, in that
// order; nullopt when either is malformed (a bad percent-escape, too many fields).
// keepBadEscapes: a '%' that starts no escape stands for itself, as APy's server reads it.
std::optional<Arguments> ReadArguments(const HttpRequest& request, bool keepBadEscapes = false);

// The last value given for a name (a later one wins, as in APy's server); nullopt when none.
std::optional<std::string> LastArgument(const Arguments& arguments, std::string_view name);

bool HasArgument(const Arguments& arguments, std::string_view name);

} // namespace tervane::service
