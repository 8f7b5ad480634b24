#include "service/faces/FaceArguments.h"

#include "protocol/ServiceProtocol.h"

#include <cctype>

namespace tervane::service {
namespace {

namespace proto = tervane::protocol;

// Generous for both APIs' own arguments; more is a malformed request.
constexpr std::size_t kMaxArguments = 64;

// A '%' that starts no escape of two hex digits stands for itself, as APy's server
// (Python's unquote) reads it.
std::string KeepBadEscapes(std::string_view encoded) {
    std::string kept;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const bool escape = encoded[i] == '%' && i + 2 < encoded.size() &&
                            std::isxdigit(static_cast<unsigned char>(encoded[i + 1])) &&
                            std::isxdigit(static_cast<unsigned char>(encoded[i + 2]));
        kept += encoded[i] == '%' && !escape ? std::string_view("%25") : encoded.substr(i, 1);
    }
    return kept;
}

bool Append(std::string_view encoded, bool keepBadEscapes, Arguments& arguments) {
    const proto::FormParse form = proto::ParseForm(
        keepBadEscapes ? KeepBadEscapes(encoded) : std::string(encoded), kMaxArguments);
    if (form.error != proto::FormError::None)
        return false;
    arguments.insert(arguments.end(), form.fields.begin(), form.fields.end());
    return arguments.size() <= kMaxArguments;
}

} // namespace

std::string MediaType(std::string_view contentType) {
    std::string type;
    for (char c : contentType.substr(0, contentType.find(';'))) {
        if (c != ' ' && c != '\t')
            type += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return type;
}

std::string RequestMediaType(const HttpRequest& request) {
    const auto contentType = request.Header("Content-Type");
    return contentType ? MediaType(*contentType) : std::string();
}

std::optional<Arguments> ReadArguments(const HttpRequest& request, bool keepBadEscapes) {
    Arguments arguments;
    const std::size_t question = request.target.find('?');
    if (question != std::string::npos &&
        !Append(std::string_view(request.target).substr(question + 1), keepBadEscapes, arguments))
        return std::nullopt;
    const std::string type = RequestMediaType(request);
    if ((type.empty() || type == proto::kRequestContentType) &&
        !Append(request.body, keepBadEscapes, arguments))
        return std::nullopt;
    return arguments;
}

std::optional<std::string> LastArgument(const Arguments& arguments, std::string_view name) {
    for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) {
        if (it->first == name)
            return it->second;
    }
    return std::nullopt;
}

bool HasArgument(const Arguments& arguments, std::string_view name) {
    return LastArgument(arguments, name).has_value();
}

} // namespace tervane::service
