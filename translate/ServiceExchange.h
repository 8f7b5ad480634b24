#pragma once
// The program's side of the exchange with the translation service: one form POST, the one
// GET on the Location of a failed POST, and the quoted answer turned into the translation.
#include "net/HttpClient.h"
#include "protocol/WordsAnswer.h"
#include "translate/InstalledServer.h"

#include <optional>

#include <string>
#include <string_view>
#include <vector>

namespace tervane {

// The service's address, built in (the local service unless the build names another).
std::string ServiceAddress();

// Translates UTF-8 text between two codes of the language table ("FR", "ZH-TW"), sent in
// lower case. Throws std::runtime_error when the POST fails and either there is no Location
// to fall back on or the GET on it fails too: the client's message, or for a response of
// another status its ServiceStatusText. When the built-in
// local service cannot be reached at all, the message first says that Tervane's service is
// not running, which server it is set up to ask (`installed`, when known) and how it is
// started, then gives the system's text; when the service answers that it cannot reach that
// server (502, 504), the message names the server and what to do before the service's reason.
std::string RequestTranslation(HttpClient& http, std::string_view text, std::string_view sourceCode,
                               std::string_view targetCode,
                               const std::optional<InstalledServer>& installed = std::nullopt);
std::string RequestTranslation(HttpClient& http, std::string_view address, std::string_view text,
                               std::string_view sourceCode, std::string_view targetCode,
                               const std::optional<InstalledServer>& installed = std::nullopt);

// A translation with, for one word, the dictionary's entries (none for a text).
struct ServiceTranslation {
    std::string translation; // cleaned as RequestTranslation's
    std::vector<protocol::WordEntry> entries;
};

// One word, without the blanks and line breaks around it: the same form posted to the
// service's word address (WordsAddress), whose answer
// adds the dictionary's entries under the translation. A service without it (404, 405)
// is asked RequestTranslation's way instead, with no entries; every other failure is
// RequestTranslation's, in its words.
ServiceTranslation RequestWord(HttpClient& http, std::string_view address, std::string_view text,
                               std::string_view sourceCode, std::string_view targetCode,
                               const std::optional<InstalledServer>& installed = std::nullopt);

// The word address beside a translation address: its last path segment replaced by "words"
// ("http://127.0.0.1:58470/translate" gives "http://127.0.0.1:58470/words").
std::string WordsAddress(std::string_view translationAddress);

// A response of a status that is not a success, said for a person, as both programs show
// it: "The translation service cannot translate this: No translation route from French to
// Japanese" rather than the status line.
std::string ServiceStatusText(int status, std::string_view reason);

// The answer's bytes as the program's text: well-formed UTF-8 passes unchanged; a sequence
// that is cut short or malformed anywhere makes the whole answer empty.
std::string DecodeServiceAnswer(std::string_view bytes);

// The translation inside the service's quoted, backslash-escaped answer: an escaped blank
// line becomes a paragraph break (CR LF CR LF), any other escaped line break a space, \"
// a quotation mark, and the outer quotation marks go. Other escapes stay as they are; a
// backslash the service marked as typed (kBackslashMark) is the backslash alone.
std::string CleanServiceText(std::string_view answer);

} // namespace tervane
