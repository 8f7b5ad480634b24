// The exchange over WinHTTP with the real translation service and real Apertium. The test
// runs inside tests/wine/with-service.sh, which starts the service on a free loopback port
// and gives its address in TERVANE_SERVICE_URL.
#include "net/WinHttpTransport_win.h"
#include "translate/ServiceExchange.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace tervane;

namespace {

class ServiceExchangeTest : public testing::Test {
  protected:
    void SetUp() override {
        const char* url = std::getenv("TERVANE_SERVICE_URL");
        ASSERT_TRUE(url && *url) << "run through tests/wine/with-service.sh";
        address = url;
    }
    std::string Translate(std::string_view text, std::string_view source, std::string_view target) {
        return RequestTranslation(http, address, text, source, target);
    }

    std::string address;
    HttpClient http{std::make_unique<WinHttpTransport>()};
};

TEST_F(ServiceExchangeTest, FrenchBecomesEnglishThroughApertium) {
    const std::string english = Translate("Le chat est noir.", "FR", "EN");
    EXPECT_NE(english.find("cat"), std::string::npos) << english;
    EXPECT_NE(english.front(), '"');
    EXPECT_NE(english.back(), '"');
}

TEST_F(ServiceExchangeTest, CyrillicSurvivesTheRoundTripByteForByte) {
    // Russian to Russian comes back unchanged: what returns is what the exchange carried.
    const std::string text = "Съешь же ещё этих мягких французских булок, да выпей чаю: "
                             "«100% & \"ёж\" = +1» \xF0\x9F\x98\x80";
    EXPECT_EQ(Translate(text, "RU", "RU"), text);
}

TEST_F(ServiceExchangeTest, TheServicesOwnReasonReachesTheError) {
    EXPECT_THAT([this] { Translate("Bonjour", "FR", "JA"); },
                testing::ThrowsMessage<std::exception>(testing::StartsWith(
                    "The translation service cannot translate this: No translation route from "
                    "French to Japanese")));
}

// A word alone, through WinHTTP: the translation and the pair's bilingual dictionary entries.
TEST_F(ServiceExchangeTest, AWordComesWithTheDictionarysEntries) {
    const ServiceTranslation word = RequestWord(http, address, "maison\r\n", "FR", "EN");
    EXPECT_EQ(word.translation, "House");
    EXPECT_EQ(word.entries, (std::vector<protocol::WordEntry>{{"n", {"house", "home"}}}));
}

} // namespace
