// The service's translations against the `apertium` command's, line by line over a corpus
// of the project's own (tests/service/parity/<source>.txt: one text per line, "\n" for a
// line break inside a text). A user's selection is one text, so the command runs once per
// line, chained for a route of several pairs: `apertium -u fr-es | apertium -u spa-eng`.
//
// TERVANE_PARITY="fr:es fr:ca ..." checks other directions (bench/parity.sh).
#include "ChildProcess.h"
#include "ParityCorpus.h"
#include "ServiceClient.h"

#include "protocol/ServiceProtocol.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <unistd.h>

using namespace tervane::testing;
namespace proto = tervane::protocol;
namespace fs = std::filesystem;

namespace {

// The pairs the service routes source to target through, from its /languages.
std::vector<std::string> RouteOf(unsigned short port, const std::string& source,
                                 const std::string& target) {
    const auto json = nlohmann::json::parse(GetPath(port, "/languages").body);
    for (const auto& row : json["languages"]) {
        if (row["code"] != source)
            continue;
        for (const auto& to : row["targets"]) {
            if (to["code"] == target)
                return to["route"].get<std::vector<std::string>>();
        }
    }
    return {};
}

// Checks one direction; prints the count and the first differences.
void ExpectParity(unsigned short port, const std::string& source, const std::string& target) {
    const std::vector<std::string> route = RouteOf(port, source, target);
    ASSERT_FALSE(route.empty()) << "no route " << source << "->" << target;

    std::vector<std::string> texts = ReadCorpus(fs::path(PARITY_CORPUS_DIR) / (source + ".txt"));
    ASSERT_FALSE(texts.empty()) << "no corpus for " << source;
    // Every pair also gets the texts of reserved characters, breaks and a long paragraph.
    for (std::string& text : ReadCorpus(fs::path(PARITY_CORPUS_DIR) / "any.txt"))
        texts.push_back(std::move(text));
    const std::vector<std::string> stock = StockTranslations(texts, route);
    std::size_t same = 0;
    std::ostringstream differences;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const Reply reply = PostTranslate(port, texts[i], source, target);
        // What the exchange makes of the command's output is what the service must answer.
        if (reply.status == 200 && reply.body == proto::EncodeAnswer(stock[i])) {
            ++same;
        } else if (i - same < 5) {
            differences << "  " << Quoted(texts[i]) << "\n    command: " << Quoted(stock[i])
                        << "\n    service: " << reply.status << " "
                        << Quoted(proto::DecodeAnswer(reply.body).value_or(reply.body)) << "\n";
        }
    }
    std::string routeText;
    for (const std::string& hop : route)
        routeText += (routeText.empty() ? "" : ",") + hop;
    std::printf("parity %s->%s (%s): %zu/%zu identical\n%s", source.c_str(), target.c_str(),
                routeText.c_str(), same, texts.size(), differences.str().c_str());
    EXPECT_EQ(same, texts.size()) << differences.str();
}

} // namespace

// Both runners: a process per stage, and the pair host (TERVANE_PARITY_RUNNER picks one).
class Parity : public ::testing::TestWithParam<std::string> {};

TEST_P(Parity, TranslationsAreTheApertiumCommandsWithOrWithoutFinalPunctuation) {
    if (const char* runner = std::getenv("TERVANE_PARITY_RUNNER"); runner && GetParam() != runner)
        GTEST_SKIP() << "TERVANE_PARITY_RUNNER=" << runner;
    RunningServer server =
        StartListening({TERVANE_SERVICE_BINARY, "--apertium-runner", GetParam()});
    std::string directions = "fr:es fr:en es:pt";
    if (const char* asked = std::getenv("TERVANE_PARITY"))
        directions = asked;
    std::istringstream items(directions);
    for (std::string item; items >> item;) {
        const std::size_t colon = item.find(':');
        ASSERT_NE(colon, std::string::npos) << "expected source:target, got " << item;
        SCOPED_TRACE(item);
        ExpectParity(server.port, item.substr(0, colon), item.substr(colon + 1));
    }
}

INSTANTIATE_TEST_SUITE_P(Runners, Parity, ::testing::Values("processes", "inprocess"),
                         [](const auto& each) { return each.param; });
