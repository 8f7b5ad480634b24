// What the service accepts on /translate, what it refuses and with which status.
#include "service/RequestForm.h"
#include "service/Utf8.h"

#include <gtest/gtest.h>

using namespace tervane::service;

namespace {

std::variant<TranslateRequest, RequestError> read(const std::string &body) {
  return readTranslateForm(body);
}

std::string reasonOf(const std::string &body) {
  const auto result = read(body);
  if (const auto *error = std::get_if<RequestError>(&result)) {
    return std::to_string(error->status) + " " + error->reason;
  }
  return "accepted";
}

} // namespace

TEST(TranslateForm, AcceptsTheProgramsFormAndIgnoresExtraFields) {
  const auto result = read("text=Le+chat%0A%22x%22&source=fr&target=zh-tw&format=text&v=1&extra=1");
  ASSERT_TRUE(std::holds_alternative<TranslateRequest>(result));
  const auto &request = std::get<TranslateRequest>(result);
  EXPECT_EQ(request.text, "Le chat\n\"x\"");
  EXPECT_EQ(request.source, "fr");
  EXPECT_EQ(request.target, "zh-tw");
}

TEST(TranslateForm, RefusesEachFaultWithItsOwnReason) {
  const std::string tail = "&source=fr&target=en&format=text&v=1";
  EXPECT_EQ(reasonOf("source=fr&target=en&format=text&v=1"), "400 Missing field 'text'");
  EXPECT_EQ(reasonOf("text=a&target=en&format=text&v=1"), "400 Missing field 'source'");
  EXPECT_EQ(reasonOf("text=a&source=fr&target=en&v=1"), "400 Missing field 'format'");
  EXPECT_EQ(reasonOf("text=a" + tail + "&text=b"), "400 Field 'text' is given more than once");
  EXPECT_EQ(reasonOf("text=a&source=fr&target=en&format=html&v=1"),
            "400 Unsupported format 'html': only 'text' is served");
  EXPECT_EQ(reasonOf("text=a&source=fr&target=en&format=text&v=2"),
            "400 Unsupported protocol version '2': this service speaks v=1");
  EXPECT_NE(reasonOf("text=%4" + tail).find("400 Malformed form: a percent-escape"), std::string::npos);
  EXPECT_EQ(reasonOf("text=a%00b" + tail), "400 Text contains a NUL byte");
  EXPECT_EQ(reasonOf("text=%C3%28" + tail), "400 Text is not valid UTF-8");
  EXPECT_EQ(reasonOf("text=" + tail), "400 Nothing to translate: the text is empty");
  EXPECT_EQ(reasonOf("text=+%0D%0A%09" + tail), "400 Nothing to translate: the text is empty");
  EXPECT_NE(reasonOf("text=a&source=he&target=en&format=text&v=1").find("400 Unknown language code 'he'"),
            std::string::npos);
  EXPECT_NE(reasonOf("text=a&source=fr&target=EN&format=text&v=1").find("'EN'"), std::string::npos);
  // A code with control bytes is shown tamed, never echoed raw.
  EXPECT_NE(reasonOf("text=a&source=f%0Ar&target=en&format=text&v=1").find("'f?r'"), std::string::npos);
}

TEST(TranslateForm, BoundsTheNumberOfFields) {
  std::string body = "text=a&source=fr&target=en&format=text&v=1";
  for (int i = 0; i < 5000; ++i) body += "&x" + std::to_string(i) + "=1";
  EXPECT_EQ(reasonOf(body), "400 Malformed form: more than 16 fields");
}

TEST(Utf8, AcceptsWellFormedAndRefusesOverlongSurrogatesAndTruncation) {
  EXPECT_TRUE(isValidUtf8("plain \xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80"));
  EXPECT_TRUE(isValidUtf8(""));
  for (const char *bad : {"\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                          "\xFF", "\x80", "a\xE4\xB8"}) {
    EXPECT_FALSE(isValidUtf8(bad)) << bad;
  }
}
