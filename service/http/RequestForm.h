// Turns a /translate form body into a checked request, or says exactly what is wrong.
#pragma once

#include "service/core/Result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tervane::service {

struct TranslateRequest {
    std::string text;
    std::string source; // a code of the program's table
    std::string target;
};

// Checks the fields (all five present, none twice, format=text, v=1), the language codes
// against the table, and the text (UTF-8, no NUL, not blank) before anything reaches an
// engine; a fault is refused with 400 and a reason that names it. Unknown extra fields are
// ignored, up to maxFields fields in all.
Result<TranslateRequest> ReadTranslateForm(std::string_view body, std::size_t maxFields = 16);

} // namespace tervane::service
