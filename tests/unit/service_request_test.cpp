// What the service accepts on /translate, what it refuses and with which status.
#include "service/http/RequestForm.h"

#include <gtest/gtest.h>

using namespace tervane::service;

namespace {

// "accepted", or the status and reason of the refusal.
std::string ReasonOf(const std::string& body) {
    const auto result = ReadTranslateForm(body);
    if (result.Ok())
        return "accepted";
    return std::to_string(result.Failure().status) + " " + result.Failure().reason;
}

} // namespace

TEST(TranslateForm, AcceptsTheProgramsFormAndIgnoresExtraFields) {
    const auto result =
        ReadTranslateForm("text=Le+chat%0A%22x%22&source=fr&target=zh-tw&format=text&v=1&extra=1");
    ASSERT_TRUE(result.Ok()) << result.Failure().reason;
    const TranslateRequest& request = result.Value();
    EXPECT_EQ(request.text, "Le chat\n\"x\"");
    EXPECT_EQ(request.source, "fr");
    EXPECT_EQ(request.target, "zh-tw");
}

TEST(TranslateForm, RefusesEachFaultWithItsOwnReason) {
    const std::string tail = "&source=fr&target=en&format=text&v=1";
    EXPECT_EQ(ReasonOf("source=fr&target=en&format=text&v=1"), "400 Missing field 'text'");
    EXPECT_EQ(ReasonOf("text=a&target=en&format=text&v=1"), "400 Missing field 'source'");
    EXPECT_EQ(ReasonOf("text=a&source=fr&target=en&v=1"), "400 Missing field 'format'");
    EXPECT_EQ(ReasonOf("text=a" + tail + "&text=b"), "400 Field 'text' is given more than once");
    EXPECT_EQ(ReasonOf("text=a&source=fr&target=en&format=html&v=1"),
              "400 Unsupported format 'html': only 'text' is served");
    EXPECT_EQ(ReasonOf("text=a&source=fr&target=en&format=text&v=2"),
              "400 Unsupported protocol version '2': this service speaks v=1");
    EXPECT_NE(ReasonOf("text=%4" + tail).find("400 Malformed form: a percent-escape"),
              std::string::npos);
    EXPECT_EQ(ReasonOf("text=a%00b" + tail), "400 Text contains a NUL byte");
    EXPECT_EQ(ReasonOf("text=%C3%28" + tail), "400 Text is not valid UTF-8");
    EXPECT_EQ(ReasonOf("text=" + tail), "400 Nothing to translate: the text is empty");
    EXPECT_EQ(ReasonOf("text=+%0D%0A%09" + tail), "400 Nothing to translate: the text is empty");
    EXPECT_NE(ReasonOf("text=a&source=he&target=en&format=text&v=1")
                  .find("400 Unknown language code 'he'"),
              std::string::npos);
    EXPECT_NE(ReasonOf("text=a&source=fr&target=EN&format=text&v=1").find("'EN'"),
              std::string::npos);
    // A code with control bytes is shown tamed, never echoed raw.
    EXPECT_NE(ReasonOf("text=a&source=f%0Ar&target=en&format=text&v=1").find("'f?r'"),
              std::string::npos);
}

TEST(TranslateForm, BoundsTheNumberOfFields) {
    std::string body = "text=a&source=fr&target=en&format=text&v=1";
    for (int i = 0; i < 5000; ++i)
        body += "&x" + std::to_string(i) + "=1";
    EXPECT_EQ(ReasonOf(body), "400 Malformed form: more than 16 fields");
}
