// The real service with the real Apertium pairs Debian installs (fr-es, eng-spa, ...).
#include "ChildProcess.h"
#include "ServiceClient.h"

#include "translate/ServiceProtocol.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace tervane::testing;
namespace proto = tervane::protocol;

namespace {

class ApertiumService : public ::testing::Test {
protected:
  static void SetUpTestSuite() { server_ = new RunningServer(startListening({TERVANE_SERVICE_BINARY})); }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  static unsigned short port() { return server_->port; }
  static std::string log() { return server_->process->output(); }
  static std::size_t logMark() { return server_->process->outputSize(); }
  static std::string logLine(const std::string &text, std::size_t mark) {
    return server_->process->waitForLine(text, mark);
  }
  static RunningServer *server_;
};

RunningServer *ApertiumService::server_ = nullptr;

} // namespace

TEST_F(ApertiumService, TranslatesFrenchToSpanishDirectly) {
  const std::size_t mark = logMark();
  const Reply reply = postTranslate(port(), "Le chat est noir.", "fr", "es");
  EXPECT_EQ(reply.status, 200) << reply.reason;
  EXPECT_EQ(reply.contentType, "text/plain; charset=utf-8");
  EXPECT_EQ(reply.body, "\"El gato es negro.\"");
  EXPECT_NE(logLine("POST /translate fr->es ", mark).find(" route=fr-es "), std::string::npos)
      << log();
}

TEST_F(ApertiumService, TranslatesFrenchToEnglishThroughSpanish) {
  const std::size_t mark = logMark();
  const Reply reply = postTranslate(port(), "Le chat est noir.", "fr", "en");
  EXPECT_EQ(reply.status, 200) << reply.reason;
  EXPECT_EQ(reply.body, "\"The cat is black.\"");
  // Not through Catalan (fra-cat, cat-eng), which Debian's pairs also allow.
  EXPECT_NE(logLine("POST /translate fr->en ", mark).find(" route=fr-es,spa-eng "),
            std::string::npos)
      << log();
}

TEST_F(ApertiumService, KeepsParagraphsLineBreaksAndQuotationMarks) {
  const Reply reply = postTranslate(
      port(), "Il a dit \"bonjour\" à Marie.\r\n\r\nLe chat est noir.\r\nIl est petit.", "fr", "es");
  ASSERT_EQ(reply.status, 200) << reply.reason;
  EXPECT_EQ(reply.body,
            "\"Ha dicho \\\"saludo\\\" a Marie.\\r\\n \\r\\nEl gato es negro.\\r\\nEs pequeño.\"");
  // And through a chain of two pipelines.
  const Reply chained = postTranslate(port(), "Le \"chat\".\n\nLe chat.", "fr", "en");
  ASSERT_EQ(chained.status, 200) << chained.reason;
  EXPECT_EQ(proto::DecodeAnswer(chained.body), "The \"cat\".\n\nThe cat.");
}

TEST_F(ApertiumService, LeavesNoUnknownWordMarks) {
  const Reply reply = postTranslate(port(), "Le chat xyzzyq est noir.", "fr", "es");
  ASSERT_EQ(reply.status, 200) << reply.reason;
  EXPECT_EQ(reply.body, "\"El gato xyzzyq es negro.\"");
  const Reply own = postTranslate(port(), "Le chat #noir", "fr", "es");
  EXPECT_NE(own.body.find("#"), std::string::npos) << own.body; // the user's own sign stays
}

TEST_F(ApertiumService, AnswersAPairThatIsNotInstalledWith422AndWhatWouldMakeItWork) {
  const Reply reply = postTranslate(port(), "Le chat.", "fr", "ja");
  EXPECT_EQ(reply.status, 422);
  EXPECT_NE(reply.reason.find("No translation route from French to Japanese"), std::string::npos)
      << reply.reason;
  EXPECT_NE(reply.reason.find("install"), std::string::npos) << reply.reason;
  EXPECT_NE(reply.reason.find("apertium-fra-jpn"), std::string::npos) << reply.reason;
  EXPECT_EQ(reply.body, reply.reason + "\n");
}

TEST_F(ApertiumService, ListsWhatTranslatesIntoWhatAndIsHealthy) {
  const Reply health = getPath(port(), "/health");
  ASSERT_EQ(health.status, 200);
  EXPECT_EQ(nlohmann::json::parse(health.body)["engine"], "apertium");

  const Reply languages = getPath(port(), "/languages");
  ASSERT_EQ(languages.status, 200);
  const auto json = nlohmann::json::parse(languages.body);
  ASSERT_EQ(json["languages"].size(), 53u); // 54 rows, Dutch twice
  nlohmann::json french;
  for (const auto &row : json["languages"]) {
    if (row["code"] == "fr") french = row;
  }
  ASSERT_TRUE(french.is_object());
  std::map<std::string, std::vector<std::string>> routes;
  for (const auto &target : french["targets"]) routes[target["code"]] = target["route"];
  EXPECT_EQ(routes["es"], (std::vector<std::string>{"fr-es"}));
  EXPECT_EQ(routes["en"], (std::vector<std::string>{"fr-es", "spa-eng"}));
  EXPECT_EQ(routes.count("ja"), 0u);
}
