// The exchange with the translation service over a recording transport: the request, the
// one retry, decoding and cleaning the answer.
#include "tests/unit/FakeHttpTransport.h"
#include "tests/unit/FakeRegistry.h"
#include "translate/InstalledServer.h"
#include "translate/ServiceExchange.h"

#include <gtest/gtest.h>

using namespace tervane;

namespace {

using Fake = FakeHttpTransport;

class ExchangeTest : public testing::Test, protected FakeHttpClient {
  protected:
    std::string Translate() { return RequestTranslation(http, "Bonjour", "FR", "EN"); }
};

TEST_F(ExchangeTest, TheFormGoesToTheLocalServiceWithTheTextEncodedAndTheCodesInLowerCase) {
    fake.script.push_back(Fake::Answer(200, "OK", "\"Hello\""));
    EXPECT_EQ(RequestTranslation(http, "a&b=c+d%e f\nПривет", "ZH-TW", "EN"), "Hello");

    ASSERT_EQ(fake.requests.size(), 1u);
    const HttpRequest& post = fake.requests[0];
    EXPECT_EQ(post.method, "POST");
    EXPECT_EQ(post.url, "http://127.0.0.1:58470/translate");
    EXPECT_EQ(post.body, "text=a%26b%3Dc%2Bd%25e+f%0A%D0%9F%D1%80%D0%B8%D0%B2%D0%B5%D1%82"
                         "&source=zh-tw&target=en&format=text&v=1");
    EXPECT_EQ(Fake::Header(post, "Content-Type"), "application/x-www-form-urlencoded");
}

TEST_F(ExchangeTest, AFailedPostIsRetriedOnceWithAGetOnItsLocation) {
    // A redirect: the one GET on its Location.
    fake.script = {Fake::Answer(302, "Found", "", "http://127.0.0.1:58470/elsewhere"),
                   Fake::Answer(200, "OK", "\"Hello\"")};
    EXPECT_EQ(Translate(), "Hello");
    ASSERT_EQ(fake.requests.size(), 2u);
    EXPECT_EQ(fake.requests[1].method, "GET");
    EXPECT_EQ(fake.requests[1].url, "http://127.0.0.1:58470/elsewhere");

    // Both fail: the GET's error, and no third request even when it points on again.
    fake.requests.clear();
    fake.script = {Fake::Answer(307, "Temporary Redirect", "", "http://127.0.0.1:58470/a"),
                   Fake::Answer(302, "Found", "", "http://127.0.0.1:58470/b")};
    EXPECT_THAT([this] { Translate(); },
                ThrowsError("The translation service refused the request: Found (error 302)"));
    EXPECT_EQ(fake.requests.size(), 2u);

    // No Location to go to: the POST's own error, with the service's reason.
    fake.requests.clear();
    fake.script = {Fake::Answer(422, "No translation route from French to Japanese")};
    EXPECT_THAT([this] { Translate(); },
                ThrowsError("The translation service cannot translate this: No translation route "
                            "from French to Japanese"));
    fake.script = {std::nullopt};
    EXPECT_THAT([this] { RequestTranslation(http, "http://127.0.0.1:8/t", "Bonjour", "FR", "EN"); },
                ThrowsError("A connection with the server could not be established"));
    EXPECT_EQ(fake.requests.size(), 2u);

    // A success is never retried.
    fake.requests.clear();
    fake.script = {Fake::Answer(200, "OK", "\"Hello\"", "http://127.0.0.1:58470/unused")};
    EXPECT_EQ(Translate(), "Hello");
    EXPECT_EQ(fake.requests.size(), 1u);
}

TEST_F(ExchangeTest, WhenTheLocalServiceIsNotRunningTheErrorSaysSoAndHowItStarts) {
    fake.script = {std::nullopt};
    try {
        Translate();
        ADD_FAILURE() << "no error";
    } catch (const HttpConnectionError& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("Tervane's translation service is not running", 0), 0u) << text;
        // Natively the Linux program's advice (the Windows one is checked under Wine).
        EXPECT_NE(text.find("start Tervane again"), std::string::npos) << text;
        const std::string system = "\r\n\r\nA connection with the server could not be established";
        EXPECT_EQ(text.substr(text.size() - system.size()), system) << "the system's text last";
    }

    // Another address (a test's own server, another service) keeps the system's text alone,
    // and other failures of the local service are not blamed on it being stopped.
    fake.script = {std::nullopt};
    EXPECT_THAT(
        [this] { RequestTranslation(http, "http://10.0.0.5:58470/translate", "a", "FR", "EN"); },
        ThrowsError("A connection with the server could not be established"));
    fake.script = {Fake::Answer(503, "Service Unavailable")};
    EXPECT_THAT([this] { Translate(); },
                ThrowsError("The translation service failed: Service Unavailable (error 503). "
                            "Try again later"));
    fake.script = {Fake::Answer(422, "")};
    EXPECT_THAT([this] { Translate(); },
                ThrowsError("The translation service cannot translate this: no route between "
                            "these two languages"));
}

TEST_F(ExchangeTest, ErrorsNameTheServerTheInstallerChoseAndWhatToDo) {
    // The Run value the installer writes for the public server, as the program reads it.
    FakeRegistry registry;
    WriteText(*registry.Open(kServiceRunKey, true, true), kServiceRunValue,
              "\"C:\\Users\\ann\\AppData\\Local\\Programs\\Tervane\\tervane-service.exe\" "
              "--engine apy --apy-url \"https://apertium.org/apy\"");
    const std::optional<InstalledServer> installed = ReadInstalledServer(registry);
    ASSERT_TRUE(installed);
    EXPECT_EQ(DescribeServer(*installed), "Apertium APy at https://apertium.org/apy");

    const auto error = [&] {
        try {
            RequestTranslation(http, "Bonjour", "FR", "EN", installed);
        } catch (const std::exception& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    fake.script = {std::nullopt};
    const std::string stopped = error();
    EXPECT_EQ(stopped.rfind("Tervane's translation service is not running", 0), 0u) << stopped;
    EXPECT_NE(stopped.find("It is set up to ask Apertium APy at https://apertium.org/apy."),
              std::string::npos)
        << stopped;
    // The service runs but cannot reach the server: its name, what to do, the service's
    // reason last.
    fake.script = {Fake::Answer(502, "APy unreachable at https://apertium.org: timed out")};
    const std::string unreachable = error();
    EXPECT_EQ(unreachable.rfind("Tervane's translation service cannot reach its translation "
                                "server, Apertium APy at https://apertium.org/apy.",
                                0),
              0u)
        << unreachable;
    EXPECT_NE(unreachable.find("Check that this computer is online"), std::string::npos);
    EXPECT_TRUE(unreachable.ends_with("The translation service failed: APy unreachable at "
                                      "https://apertium.org: timed out (error 502). Try again "
                                      "later"))
        << unreachable;
    fake.script = {Fake::Answer(504, "APy did not answer in time")};
    EXPECT_EQ(error().rfind("Tervane's translation service cannot reach", 0), 0u);
    // Without an installation no server is named (the service's reason names it).
    fake.script = {Fake::Answer(502, "LibreTranslate unreachable at http://x")};
    EXPECT_THAT([this] { Translate(); },
                ThrowsError("Tervane's translation service cannot reach its translation "
                            "server.\r\n\r\nCheck that this computer is online and that the "
                            "server answers.\r\n\r\nThe translation service failed: "
                            "LibreTranslate unreachable at http://x (error 502). Try again "
                            "later"));
}

TEST(InstalledServer, TheServiceCommandLinesTheInstallerWrites) {
    const auto read = [](std::string_view line) {
        const auto server = ServerOfServiceCommand(line);
        return server ? DescribeServer(*server) : std::string("none");
    };
    EXPECT_EQ(
        read(
            R"("C:\T\tervane-service.exe" --engine libretranslate --libretranslate-url "http://localhost:5000" --api-key-file "C:\T\api-key.txt")"),
        "LibreTranslate at http://localhost:5000");
    EXPECT_EQ(
        read(
            R"("C:\Program Files\T\tervane-service.exe" --engine tervane --tervane-url "http://office:58470")"),
        "a Tervane service at http://office:58470");
    EXPECT_EQ(read(R"(tervane-service --listen 127.0.0.1:58470)"), "Apertium on this computer");
    EXPECT_EQ(read(R"("C:\other.exe" --engine apy)"), "none");
    EXPECT_EQ(read(""), "none");
    FakeRegistry empty;
    EXPECT_FALSE(ReadInstalledServer(empty));
}

TEST(ServiceAnswer, WellFormedUtf8PassesAndAnythingMalformedEmptiesTheAnswer) {
    for (const char* good : {"plain", "\xC3\xA9t\xC3\xA9",            // two bytes
                             "\xE4\xB8\xAD\xE6\x96\x87 \xE2\x82\xAC", // three bytes
                             "\xF0\x9F\x98\x80 \xF0\xA0\x80\x8B",     // four bytes
                             "\xF4\x8F\xBF\xBF", ""})
        EXPECT_EQ(DecodeServiceAnswer(good), good);
    for (const char* bad : {"cut \xC3", "cut \xE4\xB8", "cut \xF0\x9F\x98", "stray \x80 byte",
                            "a\xC3\xA9\xA9", "\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xFF", "\xC3 missing"})
        EXPECT_EQ(DecodeServiceAnswer(bad), "") << bad;
}

TEST(ServiceAnswer, CleaningUnescapesTheQuotedText) {
    EXPECT_EQ(CleanServiceText("\"Hallo Welt\""), "Hallo Welt");
    // An escaped blank line is a paragraph break, a single escaped line break a space.
    EXPECT_EQ(CleanServiceText("\"One.\\r\\n \\r\\nTwo.\""), "One.\r\n\r\nTwo.");
    EXPECT_EQ(CleanServiceText("\"One.\\r\\n?\\r\\nTwo.\""), "One.\r\n\r\nTwo.");
    EXPECT_EQ(CleanServiceText("\"One.\\r\\nTwo.\""), "One. Two.");
    EXPECT_EQ(CleanServiceText("\"He said \\\"yes\\\".\""), "He said \"yes\".");
    // Real line breaks are dropped; a lone CR or LF stays.
    EXPECT_EQ(CleanServiceText("\"a\r\nb\rc\nd\"\r\n"), "ab\rc\nd");
    // The "?" pattern goes first, left to right, before the blank one is looked for.
    EXPECT_EQ(CleanServiceText("\"x\\r\\n \\r\\n?\\r\\ny\""), "x  \r\n\r\ny");
    EXPECT_EQ(CleanServiceText("\"\\r\\n\\r\\n\""), "  ");
    // Other escapes stay as they are.
    EXPECT_EQ(CleanServiceText("\"a\\\\b\\tc\\u00e9\""), "a\\\\b\\tc\\u00e9");
    // The first and the last character go, whatever they are; fewer than three give nothing.
    EXPECT_EQ(CleanServiceText("abc"), "b");
    EXPECT_EQ(CleanServiceText("\"\xC3\xA9\""), "\xC3\xA9");
    EXPECT_EQ(CleanServiceText("\xC3\xA9x\xE2\x82\xAC"), "x");
    EXPECT_EQ(CleanServiceText("\"\""), "");
    EXPECT_EQ(CleanServiceText("x"), "");
    EXPECT_EQ(CleanServiceText(""), "");
    EXPECT_EQ(CleanServiceText("\"Cut\\r\\n \\r\\n"), "Cut\r\n\r");
    // A translation that holds ACAEAZA keeps it.
    EXPECT_EQ(CleanServiceText("\"ACAEAZA\\r\\n \\r\\nACAEAZ\""), "ACAEAZA\r\n\r\nACAEAZ");
}

TEST_F(ExchangeTest, TheAnswerIsDecodedThenCleaned) {
    fake.script = {Fake::Answer(200, "OK", "\"\xF0\x9F\x98\x80 \xE4\xB8\xAD\\r\\nx\""),
                   Fake::Answer(200, "OK", "\"cut \xE4\xB8\"")};
    EXPECT_EQ(Translate(), "\xF0\x9F\x98\x80 \xE4\xB8\xAD x");
    EXPECT_EQ(Translate(), "");
}

} // namespace
