// libFuzzer target: the form parser, the /translate form checks, the HTTP head parser and
// the answer encoder, on arbitrary bytes. Built and run by bench/fuzz.sh.
#include "service/HttpMessage.h"
#include "service/RequestForm.h"
#include "translate/ServiceProtocol.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace proto = tervane::protocol;

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

// No raw line break inside the quotes, and every quotation mark escaped.
void checkAnswer(const std::string &text) {
  const std::string answer = proto::EncodeAnswer(text);
  check(answer.size() >= 2 && answer.front() == '"' && answer.back() == '"');
  for (std::size_t i = 1; i + 1 < answer.size(); ++i) {
    check(answer[i] != '\r' && answer[i] != '\n');
    if (answer[i] == '"') check(answer[i - 1] == '\\');
  }
  // Text without CR, backslash or blank lines comes back exactly.
  bool plain = text.find_first_of("\r\\") == std::string::npos;
  for (std::size_t i = text.find('\n'); plain && i != std::string::npos; i = text.find('\n', i + 1)) {
    const std::size_t next = text.find_first_not_of(" \t", i + 1);
    if (next != std::string::npos && text[next] == '\n') plain = false;
  }
  if (plain) check(proto::DecodeAnswer(answer) == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string input(reinterpret_cast<const char *>(data), size);

  const auto form = proto::ParseForm(input, 16);
  check(form.fields.size() <= 16);
  if (form.error == proto::FormError::None) {
    // What parses re-encodes to a body that parses to the same fields.
    std::string again;
    for (const auto &[name, value] : form.fields) {
      again += (again.empty() ? "" : "&") + proto::PercentEncode(name) + "=" + proto::PercentEncode(value);
    }
    const auto reparsed = proto::ParseForm(again, 16);
    check(reparsed.error == proto::FormError::None && reparsed.fields == form.fields);
  }
  const auto request = tervane::service::readTranslateForm(input);
  if (const auto *error = std::get_if<tervane::service::RequestError>(&request)) {
    check(error->status == 400 && !error->reason.empty());
  } else {
    const auto &ok = std::get<tervane::service::TranslateRequest>(request);
    check(proto::FindLanguage(ok.source) && proto::FindLanguage(ok.target));
    check(ok.text.find('\0') == std::string::npos);
  }

  const auto head = tervane::service::parseRequestHead(input, {});
  if (head.state == tervane::service::HeadParse::State::Complete) check(head.headLength <= input.size());

  checkAnswer(input);
  return 0;
}
