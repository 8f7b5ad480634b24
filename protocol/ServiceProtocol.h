// The exchange between the program and the translation service: address, form fields,
// percent-encoding and the quoted answer (the language codes are protocol/Languages.h). Both sides
// include this header so that neither can drift from the other. Standard C++ only (built for
// Windows too).
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tervane::protocol {

inline constexpr std::string_view kDefaultHost = "127.0.0.1";
inline constexpr unsigned short kDefaultPort = 58470;
inline constexpr std::string_view kTranslatePath = "/translate";
inline constexpr std::string_view kRequestContentType = "application/x-www-form-urlencoded";
// The Accept the program sends; on GET /languages it asks for the program's listing rather
// than LibreTranslate's list, which the same path gives every other client.
inline constexpr std::string_view kProgramAccept = "text/html, */*";
inline constexpr std::string_view kAnswerContentType = "text/plain; charset=utf-8";

// Field names, in the order the program writes them.
inline constexpr std::string_view kFieldText = "text";
inline constexpr std::string_view kFieldSource = "source";
inline constexpr std::string_view kFieldTarget = "target";
inline constexpr std::string_view kFieldFormat = "format";
inline constexpr std::string_view kFieldVersion = "v";
inline constexpr std::string_view kFormatValue = "text";
inline constexpr std::string_view kVersionValue = "1";

// application/x-www-form-urlencoded as the program writes it: letters, digits, '-', '.',
// '_' and '*' kept, space as '+', every other byte as %XX in upper case.
std::string PercentEncode(std::string_view bytes);

// The whole request body, fields in their fixed order.
std::string BuildRequestBody(std::string_view text, std::string_view source,
                             std::string_view target);

// Why a form body could not be read.
enum class FormError { None, BadEscape, TooManyFields, EmptyName };

struct FormParse {
    std::vector<std::pair<std::string, std::string>> fields; // decoded, in body order
    FormError error = FormError::None;
    std::size_t errorOffset = 0; // byte offset of the fault in the body
};

// Splits and decodes a form body. '+' is a space; a '%' not followed by two hex digits is
// an error rather than kept literally, so that a body cut short is never half-accepted.
// Empty segments ("a=1&&b=2") are skipped; more than maxFields fields is an error.
FormParse ParseForm(std::string_view body, std::size_t maxFields);

// Decodes one form component; nullopt on a bad escape.
std::optional<std::string> PercentDecode(std::string_view encoded);

// The answer body: a quotation mark, the escaped text, a quotation mark. A line break
// (LF, CR LF or CR) becomes the four characters \r\n; two or more line breaks with only
// blanks between them are one paragraph break, written \r\n \r\n; '"' becomes \".
// A backslash of the text that the reader would take for the start of an escape (one
// followed by the characters r\n, or the last one, before the closing quotation mark) is
// followed by a CR, kBackslashMark: no other answer holds a CR, and the reader drops it
// once its escapes are read, so a typed \r\n comes back as typed.
std::string EncodeAnswer(std::string_view translation);
inline constexpr char kBackslashMark = '\r';

// The inverse of EncodeAnswer, with LF line breaks; nullopt when the body is not quoted.
std::optional<std::string> DecodeAnswer(std::string_view body);

} // namespace tervane::protocol
