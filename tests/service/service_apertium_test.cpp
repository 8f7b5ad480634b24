// The real service with the real Apertium pairs Debian installs (fr-es, eng-spa, ...).
#include "ChildProcess.h"
#include "ServiceClient.h"

#include "protocol/ServiceProtocol.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace tervane::testing;
namespace proto = tervane::protocol;

namespace {

class ApertiumService : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        server_ = new RunningServer(StartListening({TERVANE_SERVICE_BINARY}));
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    static unsigned short Port() { return server_->port; }
    static std::string Log() { return server_->process->Output(); }
    static std::size_t LogMark() { return server_->process->OutputSize(); }
    static std::string LogLine(const std::string& text, std::size_t mark) {
        return server_->process->WaitForLine(text, mark);
    }
    static RunningServer* server_;
};

RunningServer* ApertiumService::server_ = nullptr;

} // namespace

TEST_F(ApertiumService, TranslatesFrenchToSpanishDirectly) {
    const std::size_t mark = LogMark();
    const Reply reply = PostTranslate(Port(), "Le chat est noir.", "fr", "es");
    EXPECT_EQ(reply.status, 200) << reply.reason;
    EXPECT_EQ(reply.contentType, "text/plain; charset=utf-8");
    EXPECT_EQ(reply.body, "\"El gato es negro.\"");
    EXPECT_NE(LogLine("POST /translate fr->es ", mark).find(" route=fr-es "), std::string::npos)
        << Log();
}

TEST_F(ApertiumService, TranslatesFrenchToEnglishThroughSpanish) {
    const std::size_t mark = LogMark();
    const Reply reply = PostTranslate(Port(), "Le chat est noir.", "fr", "en");
    EXPECT_EQ(reply.status, 200) << reply.reason;
    EXPECT_EQ(reply.body, "\"The cat is black.\"");
    // Not through Catalan (fra-cat, cat-eng), which Debian's pairs also allow.
    EXPECT_NE(LogLine("POST /translate fr->en ", mark).find(" route=fr-es,spa-eng "),
              std::string::npos)
        << Log();
}

TEST_F(ApertiumService, KeepsParagraphsLineBreaksAndQuotationMarks) {
    const Reply reply = PostTranslate(
        Port(), "Il a dit \"bonjour\" à Marie.\r\n\r\nLe chat est noir.\r\nIl est petit.", "fr",
        "es");
    ASSERT_EQ(reply.status, 200) << reply.reason;
    EXPECT_EQ(
        reply.body,
        "\"Ha dicho \\\"saludo\\\" a Marie.\\r\\n \\r\\nEl gato es negro.\\r\\nEs pequeño.\"");
    // And through a chain of two pipelines.
    const Reply chained = PostTranslate(Port(), "Le \"chat\".\n\nLe chat.", "fr", "en");
    ASSERT_EQ(chained.status, 200) << chained.reason;
    EXPECT_EQ(proto::DecodeAnswer(chained.body), "The \"cat\".\n\nThe cat.");
}

TEST_F(ApertiumService, LeavesNoUnknownWordMarks) {
    const Reply reply = PostTranslate(Port(), "Le chat xyzzyq est noir.", "fr", "es");
    ASSERT_EQ(reply.status, 200) << reply.reason;
    EXPECT_EQ(reply.body, "\"El gato xyzzyq es negro.\"");
    const Reply own = PostTranslate(Port(), "Le chat #noir", "fr", "es");
    EXPECT_NE(own.body.find("#"), std::string::npos) << own.body; // the user's own sign stays
}

TEST_F(ApertiumService, AnswersAPairThatIsNotInstalledWith422AndWhatWouldMakeItWork) {
    const Reply reply = PostTranslate(Port(), "Le chat.", "fr", "ja");
    EXPECT_EQ(reply.status, 422);
    EXPECT_NE(reply.reason.find("No translation route from French to Japanese"), std::string::npos)
        << reply.reason;
    // Debian has no French-Japanese pair: no package that does not exist is named.
    EXPECT_NE(reply.reason.find("no Apertium pair between them is packaged"), std::string::npos)
        << reply.reason;
    EXPECT_EQ(reply.body, reply.reason + "\n");
}

TEST_F(ApertiumService, ListsWhatTranslatesIntoWhatAndIsHealthy) {
    const Reply health = GetPath(Port(), "/health");
    ASSERT_EQ(health.status, 200);
    EXPECT_EQ(nlohmann::json::parse(health.body)["engine"], "apertium");

    const Reply languages = GetPath(Port(), "/languages");
    ASSERT_EQ(languages.status, 200);
    const auto json = nlohmann::json::parse(languages.body);
    ASSERT_EQ(json["languages"].size(), 53u); // 54 rows, Dutch twice
    nlohmann::json french;
    for (const auto& row : json["languages"]) {
        if (row["code"] == "fr")
            french = row;
    }
    ASSERT_TRUE(french.is_object());
    std::map<std::string, std::vector<std::string>> routes;
    for (const auto& target : french["targets"])
        routes[target["code"]] = target["route"];
    EXPECT_EQ(routes["es"], (std::vector<std::string>{"fr-es"}));
    EXPECT_EQ(routes["en"], (std::vector<std::string>{"fr-es", "spa-eng"}));
    EXPECT_EQ(routes.count("ja"), 0u);
}
