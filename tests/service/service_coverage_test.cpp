// The real service over the Apertium pairs Debian ships beyond the Romance ones, a route
// through a language outside the program's table, and Apertium with a remote engine
// behind it (the LibreTranslate fake).
#include "ChildProcess.h"
#include "ServiceClient.h"

#include "protocol/ServiceProtocol.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <unistd.h>

using namespace tervane::testing;
namespace fs = std::filesystem;
namespace proto = tervane::protocol;

namespace {

constexpr const char* kModes = "/usr/share/apertium/modes";

struct Expected {
    const char* source;
    const char* target;
    const char* text;
    const char* word; // one the pair is known to produce
    const char* route;
};

void ExpectTranslation(const RunningServer& server, const Expected& pair) {
    const std::size_t mark = server.process->OutputSize();
    const Reply reply = PostTranslate(server.port, pair.text, pair.source, pair.target);
    ASSERT_EQ(reply.status, 200) << pair.source << "->" << pair.target << ": " << reply.reason;
    const std::string answer = proto::DecodeAnswer(reply.body).value_or("(not an answer)");
    EXPECT_NE(answer.find(pair.word), std::string::npos) << answer;
    const std::string line = server.process->WaitForLine(
        "POST /translate " + std::string(pair.source) + "->" + pair.target + " ", mark);
    EXPECT_NE(line.find(" engine=apertium route=" + std::string(pair.route) + " "),
              std::string::npos)
        << line;
}

} // namespace

TEST(ServiceCoverage, TranslatesSlavicAndNordicPairsAndAChainThroughALanguageOutsideTheTable) {
    RunningServer server = StartListening({TERVANE_SERVICE_BINARY});
    ExpectTranslation(server,
                      {"ru", "uk", "Кошка спит на большом столе.", "Кішка спить", "rus-ukr"});
    ExpectTranslation(server, {"sv", "da", "Jag bor i ett stort hus.", "Jeg bor", "swe-dan"});
    ExpectTranslation(server, {"sr", "sl", "Ovo je velika kuća.", "hiša", "hbs-slv"});

    // With only French-Occitan and Occitan-Catalan (named "oci" by one pair and "oc" by the
    // other), French reaches Catalan through Occitan, which the program does not offer.
    const fs::path modes =
        fs::temp_directory_path() / ("tervane-pivot-" + std::to_string(::getpid()));
    fs::create_directories(modes);
    for (const char* mode : {"fra-oci.mode", "oc-ca.mode"})
        fs::copy_file(fs::path(kModes) / mode, modes / mode, fs::copy_options::overwrite_existing);
    RunningServer pivot = StartListening({TERVANE_SERVICE_BINARY, "--modes-dir", modes.string()});
    ExpectTranslation(pivot, {"fr", "ca", "Le chat est noir.", "El gat és negre", "fra-oci,oc-ca"});
    const auto languages = nlohmann::json::parse(GetPath(pivot.port, "/languages").body);
    for (const auto& row : languages["languages"]) {
        EXPECT_EQ(row["targets"].size(), row["code"] == "fr" ? 1u : 0u) << row.dump();
    }
    fs::remove_all(modes);
}

TEST(ServiceCoverage, AsksApertiumFirstAndARemoteEngineForWhatApertiumCannot) {
    RunningServer fake = StartListening({FAKE_LIBRETRANSLATE_BINARY});
    RunningServer server =
        StartListening({TERVANE_SERVICE_BINARY, "--engine", "apertium,libretranslate",
                        "--libretranslate-url", "http://127.0.0.1:" + std::to_string(fake.port)});
    ChildProcess& log = *server.process;

    std::size_t mark = log.OutputSize();
    const Reply german = PostTranslate(server.port, "Der Hund ist schwarz.", "de", "en");
    EXPECT_EQ(german.status, 200) << german.reason;
    EXPECT_EQ(german.body, "\"The Dog is black.\""); // the fake keeps capitals
    EXPECT_NE(log.WaitForLine("POST /translate de->en ", mark)
                  .find(" engine=libretranslate route=de>en "),
              std::string::npos)
        << log.Output();

    mark = log.OutputSize();
    const Reply french = PostTranslate(server.port, "Le chat est noir.", "fr", "es");
    EXPECT_EQ(french.body, "\"El gato es negro.\"") << french.reason;
    EXPECT_NE(
        log.WaitForLine("POST /translate fr->es ", mark).find(" engine=apertium route=fr-es "),
        std::string::npos)
        << log.Output();

    const Reply none = PostTranslate(server.port, "Le chat.", "fr", "ja");
    EXPECT_EQ(none.status, 422);
    EXPECT_EQ(none.reason.rfind("No translation route from French to Japanese: no Apertium "
                                "pair",
                                0),
              0u)
        << none.reason;
    EXPECT_NE(none.reason.find("must offer fr to ja"), std::string::npos) << none.reason;

    // /languages says which engine takes each target, and the health counts both engines.
    const auto languages = nlohmann::json::parse(GetPath(server.port, "/languages").body);
    std::map<std::string, std::string> engines;
    for (const auto& row : languages["languages"]) {
        for (const auto& target : row["targets"])
            engines[row["code"].get<std::string>() + ">" + target["code"].get<std::string>()] =
                target["engine"];
    }
    EXPECT_EQ(engines["de>en"], "libretranslate");
    EXPECT_EQ(engines["fr>es"], "apertium");
    EXPECT_EQ(engines["ru>uk"], "apertium");
    EXPECT_EQ(engines["de>fr"], "libretranslate"); // chained over the remote engine
    EXPECT_EQ(engines.count("de>ru"), 0u);
    EXPECT_EQ(nlohmann::json::parse(GetPath(server.port, "/health").body)["engine"],
              "apertium,libretranslate");
}
