// The service's apy engine against a real apertium-apy started here on a free port.
#include "ChildProcess.h"
#include "ServiceClient.h"

#include "protocol/ServiceProtocol.h"

#include <gtest/gtest.h>

using namespace tervane::testing;
namespace proto = tervane::protocol;

namespace {

class ApyService : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        apyPort_ = FreeLoopbackPort();
        apy_ = StartApertiumApy(apyPort_).release();
        service_ = new RunningServer(StartListening(ServiceCommand(
            {"--engine", "apy", "--apy-url", "http://127.0.0.1:" + std::to_string(apyPort_)})));
    }
    static void TearDownTestSuite() {
        delete service_;
        delete apy_;
        service_ = nullptr;
        apy_ = nullptr;
    }
    static unsigned short Port() { return service_->port; }
    static std::string Log() { return service_->process->Output(); }
    static std::size_t LogMark() { return service_->process->OutputSize(); }
    static std::string LogLine(const std::string& text, std::size_t mark) {
        return service_->process->WaitForLine(text, mark);
    }

    static unsigned short apyPort_;
    static ChildProcess* apy_;
    static RunningServer* service_;
};

unsigned short ApyService::apyPort_ = 0;
ChildProcess* ApyService::apy_ = nullptr;
RunningServer* ApyService::service_ = nullptr;

} // namespace

TEST_F(ApyService, TranslatesFrenchToSpanishAndToEnglishThroughSpanish) {
    const Reply direct = PostTranslate(Port(), "Le chat est noir.", "fr", "es");
    EXPECT_EQ(direct.status, 200) << direct.reason;
    EXPECT_EQ(direct.body, "\"El gato es negro.\"");

    const std::size_t mark = LogMark();
    const Reply chained = PostTranslate(Port(), "Le chat est noir.", "fr", "en");
    EXPECT_EQ(chained.status, 200) << chained.reason;
    EXPECT_EQ(chained.body, "\"The cat is black.\"");
    // Debian's pairs also chain French to English through Catalan (fra|cat, cat|eng); the
    // service takes the better-connected Spanish.
    const std::string line = LogLine("POST /translate fr->en ", mark);
    EXPECT_NE(line.find(" route=fra|spa,spa|eng "), std::string::npos) << Log();
}

TEST_F(ApyService, KeepsParagraphsAndQuotationMarks) {
    const Reply reply =
        PostTranslate(Port(), "Il a dit \"bonjour\" à Marie.\n\nLe chat est noir.", "fr", "es");
    ASSERT_EQ(reply.status, 200) << reply.reason;
    EXPECT_EQ(proto::DecodeAnswer(reply.body), "Ha dicho \"saludo\" a Marie.\n\nEl gato es negro.");
}

TEST_F(ApyService, AnswersAMissingPairWith422NamingTheServer) {
    const Reply reply = PostTranslate(Port(), "Le chat.", "fr", "ja");
    EXPECT_EQ(reply.status, 422);
    EXPECT_NE(reply.reason.find("No translation route from French to Japanese"), std::string::npos);
    EXPECT_NE(reply.reason.find("APy server at http://127.0.0.1:"), std::string::npos)
        << reply.reason;
}

TEST(ApyUnreachable, GivesA502WithTheReason) {
    const unsigned short nobody = FreeLoopbackPort();
    RunningServer service = StartListening(ServiceCommand(
        {"--engine", "apy", "--apy-url", "http://127.0.0.1:" + std::to_string(nobody)}));
    const Reply reply = PostTranslate(service.port, "Le chat.", "fr", "es");
    EXPECT_EQ(reply.status, 502);
    EXPECT_NE(reply.reason.find("APy unreachable"), std::string::npos) << reply.reason;
    EXPECT_EQ(GetPath(service.port, "/health").status, 503);
}
