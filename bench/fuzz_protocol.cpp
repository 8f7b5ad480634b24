// libFuzzer target: the form parser, the /translate form checks, the HTTP head parser, the
// answer encoder and Apertium's stream format, on arbitrary bytes. Built and run by
// bench/fuzz.sh.
#include "protocol/Languages.h"
#include "protocol/ServiceProtocol.h"
#include "service/apertium/ApertiumText.h"
#include "service/http/HttpMessage.h"
#include "service/http/RequestForm.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace proto = tervane::protocol;

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// No raw line break inside the quotes, and every quotation mark escaped.
void CheckAnswer(const std::string& text) {
    const std::string answer = proto::EncodeAnswer(text);
    Check(answer.size() >= 2 && answer.front() == '"' && answer.back() == '"');
    for (std::size_t i = 1; i + 1 < answer.size(); ++i) {
        Check(answer[i] != '\r' && answer[i] != '\n');
        if (answer[i] == '"')
            Check(answer[i - 1] == '\\');
    }
    // Text without CR, backslash or blank lines comes back exactly.
    bool plain = text.find_first_of("\r\\") == std::string::npos;
    for (std::size_t i = text.find('\n'); plain && i != std::string::npos;
         i = text.find('\n', i + 1)) {
        const std::size_t next = text.find_first_not_of(" \t", i + 1);
        if (next != std::string::npos && text[next] == '\n')
            plain = false;
    }
    if (plain)
        Check(proto::DecodeAnswer(answer) == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    const auto form = proto::ParseForm(input, 16);
    Check(form.fields.size() <= 16);
    if (form.error == proto::FormError::None) {
        // What parses re-encodes to a body that parses to the same fields.
        std::string again;
        for (const auto& [name, value] : form.fields) {
            again += (again.empty() ? "" : "&") + proto::PercentEncode(name) + "=" +
                     proto::PercentEncode(value);
        }
        const auto reparsed = proto::ParseForm(again, 16);
        Check(reparsed.error == proto::FormError::None && reparsed.fields == form.fields);
    }
    const auto request = tervane::service::ReadTranslateForm(input);
    if (!request.Ok()) {
        Check(request.Failure().status == 400 && !request.Failure().reason.empty());
    } else {
        const tervane::service::TranslateRequest& ok = request.Value();
        Check(proto::FindLanguage(ok.source) && proto::FindLanguage(ok.target));
        Check(ok.text.find('\0') == std::string::npos);
    }

    const auto head = tervane::service::ParseRequestHead(input, {});
    if (head.Ok() && head.Value())
        Check(head.Value()->length <= input.size());

    CheckAnswer(input);

    // Any text goes into the stream and comes back as itself; no unescaped special
    // character reaches a pipeline outside a superblank.
    const std::string stream = tervane::service::ToApertiumStream(input);
    Check(tervane::service::FromApertiumStream(stream) == input);
    bool inSuperblank = false;
    for (std::size_t i = 0; i < stream.size(); ++i) {
        if (stream[i] == '\\') {
            ++i;
        } else if (stream[i] == '[' || stream[i] == ']') {
            Check(inSuperblank == (stream[i] == ']'));
            inSuperblank = stream[i] == '[';
        } else if (!inSuperblank) {
            Check(std::string_view("^$@/<>{}~").find(stream[i]) == std::string_view::npos);
        }
    }
    Check(!inSuperblank);
    return 0;
}
