// The service's libretranslate engine against the fake LibreTranslate server.
#include "ChildProcess.h"
#include "ServiceClient.h"

#include "protocol/ServiceProtocol.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace tervane::testing;
namespace proto = tervane::protocol;

namespace {

class LibreTranslateService : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        fake_ =
            new RunningServer(StartListening({FAKE_LIBRETRANSLATE_BINARY, "--api-key", "s3cret"}));
        keyFile_ =
            std::filesystem::temp_directory_path() / ("tervane-key-" + std::to_string(::getpid()));
        std::ofstream(keyFile_) << "s3cret\n";
        service_ = new RunningServer(
            StartListening(ServiceCommand({"--engine", "libretranslate", "--libretranslate-url",
                                           "http://127.0.0.1:" + std::to_string(fake_->port) + "/",
                                           "--api-key-file", keyFile_.string()})));
    }
    static void TearDownTestSuite() {
        delete service_;
        delete fake_;
        std::filesystem::remove(keyFile_);
        service_ = fake_ = nullptr;
    }
    static unsigned short Port() { return service_->port; }

    static RunningServer* fake_;
    static RunningServer* service_;
    static std::filesystem::path keyFile_;
};

RunningServer* LibreTranslateService::fake_ = nullptr;
RunningServer* LibreTranslateService::service_ = nullptr;
std::filesystem::path LibreTranslateService::keyFile_;

} // namespace

TEST_F(LibreTranslateService, TranslatesFrenchToSpanishAndEnglish) {
    const Reply spanish = PostTranslate(Port(), "Le chat est noir.", "fr", "es");
    EXPECT_EQ(spanish.status, 200) << spanish.reason;
    EXPECT_EQ(spanish.body, "\"El gato es negro.\"");
    const Reply english = PostTranslate(Port(), "Le chat est noir.", "fr", "en");
    EXPECT_EQ(english.status, 200) << english.reason;
    EXPECT_EQ(english.body, "\"The cat is black.\"");
}

TEST_F(LibreTranslateService, KeepsParagraphsQuotesAndMapsHebrewToItsCode) {
    const Reply reply =
        PostTranslate(Port(), "Le chat dit \"bonjour\".\r\n\r\nLe chat\r\nest noir.", "fr", "es");
    ASSERT_EQ(reply.status, 200) << reply.reason;
    EXPECT_EQ(reply.body, "\"El gato dice \\\"hola\\\".\\r\\n \\r\\nEl gato\\r\\nes negro.\"");
    // The program's "iw" is LibreTranslate's "he".
    const Reply hebrew = PostTranslate(Port(), "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D!", "iw", "en");
    EXPECT_EQ(hebrew.status, 200) << hebrew.reason;
    EXPECT_EQ(hebrew.body, "\"hello!\"");
}

TEST_F(LibreTranslateService, AnswersAMissingPairWith422) {
    const Reply reply = PostTranslate(Port(), "Le chat.", "fr", "ja");
    EXPECT_EQ(reply.status, 422);
    EXPECT_NE(reply.reason.find("No translation route from French to Japanese"), std::string::npos);
    EXPECT_NE(reply.reason.find("must offer fr to ja"), std::string::npos) << reply.reason;
}

TEST_F(LibreTranslateService, ReportsARefusedKeyAsAGatewayError) {
    RunningServer keyless =
        StartListening(ServiceCommand({"--engine", "libretranslate", "--libretranslate-url",
                                       "http://127.0.0.1:" + std::to_string(fake_->port)}));
    const Reply reply = PostTranslate(keyless.port, "Le chat.", "fr", "es");
    EXPECT_EQ(reply.status, 502);
    EXPECT_NE(reply.reason.find("Invalid API key"), std::string::npos) << reply.reason;
}
