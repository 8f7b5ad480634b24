#include "service/http/RequestForm.h"

#include "protocol/Languages.h"
#include "protocol/ServiceProtocol.h"
#include "protocol/Utf8.h"

#include <algorithm>
#include <array>
#include <optional>

namespace tervane::service {
namespace {

namespace proto = tervane::protocol;

Error Refuse(std::string reason) {
    return Error{400, std::move(reason)};
}

// Codes are echoed in messages; keep them short and printable.
std::string QuoteCode(std::string_view code) {
    std::string shown;
    for (char c : code.substr(0, 16)) {
        const auto u = static_cast<unsigned char>(c);
        shown += (u >= 0x21 && u < 0x7F) ? c : '?';
    }
    return "'" + shown + (code.size() > 16 ? "...'" : "'");
}

} // namespace

Result<TranslateRequest> ReadTranslateForm(std::string_view body, std::size_t maxFields) {
    const proto::FormParse form = proto::ParseForm(body, maxFields);
    switch (form.error) {
    case proto::FormError::None:
        break;
    case proto::FormError::BadEscape:
        return Refuse("Malformed form: a percent-escape is cut short or not hexadecimal (at byte " +
                      std::to_string(form.errorOffset) + ")");
    case proto::FormError::TooManyFields:
        return Refuse("Malformed form: more than " + std::to_string(maxFields) + " fields");
    case proto::FormError::EmptyName:
        return Refuse("Malformed form: a field without a name (at byte " +
                      std::to_string(form.errorOffset) + ")");
    }

    constexpr std::array<std::string_view, 5> kRequired = {proto::kFieldText, proto::kFieldSource,
                                                           proto::kFieldTarget, proto::kFieldFormat,
                                                           proto::kFieldVersion};
    std::array<std::optional<std::string>, 5> values;
    for (const auto& [name, value] : form.fields) {
        const auto slot = std::find(kRequired.begin(), kRequired.end(), name);
        if (slot == kRequired.end())
            continue;
        auto& stored = values[static_cast<std::size_t>(slot - kRequired.begin())];
        if (stored)
            return Refuse("Field '" + name + "' is given more than once");
        stored = value;
    }
    for (std::size_t i = 0; i < kRequired.size(); ++i) {
        if (!values[i])
            return Refuse("Missing field '" + std::string(kRequired[i]) + "'");
    }
    if (*values[3] != proto::kFormatValue) {
        return Refuse("Unsupported format " + QuoteCode(*values[3]) + ": only 'text' is served");
    }
    if (*values[4] != proto::kVersionValue) {
        return Refuse("Unsupported protocol version " + QuoteCode(*values[4]) +
                      ": this service speaks v=1");
    }

    TranslateRequest request{std::move(*values[0]), std::move(*values[1]), std::move(*values[2])};
    for (const std::string* code : {&request.source, &request.target}) {
        if (proto::FindLanguage(*code) == nullptr) {
            return Refuse("Unknown language code " + QuoteCode(*code) +
                          ": use a lower-case code of the program's table such as 'fr' or 'zh-tw'");
        }
    }
    if (request.text.find('\0') != std::string::npos) {
        return Refuse("Text contains a NUL byte");
    }
    if (!proto::IsValidUtf8(request.text))
        return Refuse("Text is not valid UTF-8");
    if (request.text.find_first_not_of(" \t\r\n") == std::string::npos) {
        return Refuse("Nothing to translate: the text is empty");
    }
    return request;
}

} // namespace tervane::service
