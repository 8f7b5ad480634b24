// The service's translations against the `apertium` command's, line by line over a corpus
// of the project's own (tests/service/parity/<source>.txt: one text per line, "\n" for a
// line break inside a text). A user's selection is one text, so the command runs once per
// line, chained for a route of several pairs: `apertium -u fr-es | apertium -u spa-eng`.
//
// TERVANE_PARITY="fr:es fr:ca ..." checks other directions (bench/parity.sh).
#include "ChildProcess.h"
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

std::vector<std::string> ReadCorpus(const fs::path& file) {
    std::vector<std::string> texts;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (line.empty())
            continue;
        for (std::size_t at; (at = line.find("\\n")) != std::string::npos;)
            line.replace(at, 2, "\n");
        texts.push_back(line);
    }
    return texts;
}

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

// The `apertium` command's translation of one text, through every pair of the route.
std::string StockTranslation(const std::string& text, const std::vector<std::string>& route) {
    char name[] = "/tmp/tervane-parity-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0)
        return "(cannot make a temporary file)";
    ::close(fd);
    std::ofstream(name, std::ios::binary) << text;
    std::string command = "apertium -u " + route.front() + " <" + name;
    for (std::size_t i = 1; i < route.size(); ++i)
        command += " | apertium -u " + route[i];
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
            output.append(chunk, n);
        ::pclose(pipe);
    }
    std::remove(name);
    return output;
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text)
        out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out + "\"";
}

// Checks one direction; prints the count and the first differences.
void ExpectParity(unsigned short port, const std::string& source, const std::string& target) {
    const std::vector<std::string> route = RouteOf(port, source, target);
    ASSERT_FALSE(route.empty()) << "no route " << source << "->" << target;
    const std::vector<std::string> texts =
        ReadCorpus(fs::path(PARITY_CORPUS_DIR) / (source + ".txt"));
    ASSERT_FALSE(texts.empty()) << "no corpus for " << source;

    // The command costs a process chain per text: two at a time, one for each core.
    std::vector<std::string> stock(texts.size());
    for (std::size_t i = 0; i < texts.size(); i += 2) {
        auto second = std::async(std::launch::async, [&, i] {
            if (i + 1 < texts.size())
                stock[i + 1] = StockTranslation(texts[i + 1], route);
        });
        stock[i] = StockTranslation(texts[i], route);
        second.get();
    }
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

TEST(Parity, TranslationsAreTheApertiumCommandsWithOrWithoutFinalPunctuation) {
    RunningServer server = StartListening({TERVANE_SERVICE_BINARY});
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
