// The tervane engine: a service that asks another Tervane service, shared on another
// machine with keys. The other machine is a native service with real Apertium listening on
// the server's namespace of a TestNetwork; the asking service, in the client's, is the one
// under test (ServiceCommand: the native build, or under Wine the Windows build).
#include "ChildProcess.h"
#include "ServiceClient.h"
#include "TestNetwork.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace tervane::testing;

namespace {

constexpr const char* kKey = "k-office-0b5e41";

class TervaneEngine : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        network_ = new TestNetwork;
        if (!network_->Made())
            return;
        const std::string stem = "tervane-engine-" + std::to_string(::getpid());
        keys_ = std::filesystem::temp_directory_path() / (stem + "-keys");
        key_ = std::filesystem::temp_directory_path() / (stem + "-key");
        wrongKey_ = std::filesystem::temp_directory_path() / (stem + "-wrong");
        std::ofstream(keys_) << kKey << "\n";
        std::ofstream(key_) << kKey << "\n";
        std::ofstream(wrongKey_) << "k-someone-else\n";
        // Always the native service: the shared server on Linux, with Apertium.
        shared_ = new RunningServer(
            StartListening(network_->InServer({TERVANE_SERVICE_BINARY, "--allow-remote",
                                               "--api-keys", keys_.string()}),
                           "0.0.0.0"));
    }
    static void TearDownTestSuite() {
        delete shared_;
        shared_ = nullptr;
        delete network_;
        network_ = nullptr;
        for (const auto& file : {keys_, key_, wrongKey_})
            std::filesystem::remove(file);
    }
    void SetUp() override {
        // Wine's sockets are made by its wineserver, which runs in this machine's own
        // network namespace: the Windows service cannot be put on another machine here.
        if (std::getenv("TERVANE_SERVICE_COMMAND") != nullptr)
            GTEST_SKIP() << "under Wine the service's sockets live in wineserver's namespace";
        if (!network_->Made())
            GTEST_SKIP() << "no network namespace could be made here (needs root and ip netns)";
    }
    static RunningServer Asking(const std::filesystem::path& keyFile,
                                const std::string& engine = "tervane") {
        return StartListening(
            network_->InClient(ServiceCommand({"--engine", engine, "--tervane-url", SharedOrigin(),
                                               "--tervane-key-file", keyFile.string()})));
    }
    static std::string SharedOrigin() { return HttpOrigin(TestNetwork::kServerV4, shared_->port); }
    // The program's request to the asking service, on its machine.
    static Reply Ask(unsigned short port, const std::string& text, const std::string& target) {
        return network_->OnClient([&] { return PostTranslate(port, text, "fr", target); });
    }

    static TestNetwork* network_;
    static std::filesystem::path keys_, key_, wrongKey_;
    static RunningServer* shared_;
};

TestNetwork* TervaneEngine::network_ = nullptr;
std::filesystem::path TervaneEngine::keys_, TervaneEngine::key_, TervaneEngine::wrongKey_;
RunningServer* TervaneEngine::shared_ = nullptr;

} // namespace

TEST_F(TervaneEngine, TranslatesThroughTheSharedServiceWithItsKey) {
    RunningServer asking = Asking(key_);
    const std::size_t sharedMark = shared_->process->OutputSize();
    const Reply spanish = Ask(asking.port, "Le chat est noir.", "es");
    EXPECT_EQ(spanish.status, 200) << spanish.reason;
    EXPECT_EQ(spanish.body, "\"El gato es negro.\"");
    // The shared service routes through two of its pairs; line and paragraph breaks and
    // quotation marks survive both exchanges.
    const std::string text = "Le chat dit \"bonjour\".\r\n\r\nLe chat\r\nest noir.";
    const Reply english = Ask(asking.port, text, "en");
    EXPECT_EQ(english.status, 200) << english.reason;
    EXPECT_EQ(
        english.body,
        network_->OnServer([&] { return PostTranslate(shared_->port, text, "fr", "en"); }).body);
    EXPECT_NE(english.body.find("\\r\\n \\r\\n"), std::string::npos) << english.body;
    EXPECT_NE(shared_->process->WaitForLine(std::string("from=") + TestNetwork::kClientV4 +
                                                " fr->en engine=apertium route=fr-es,spa-eng",
                                            sharedMark),
              "");

    // Its languages are the shared service's, by the tervane engine.
    const Reply languages = network_->OnClient([&] { return GetPath(asking.port, "/languages"); });
    ASSERT_EQ(languages.status, 200);
    const auto json = nlohmann::json::parse(languages.body);
    bool frenchToEnglish = false;
    for (const auto& language : json["languages"]) {
        for (const auto& target : language["targets"]) {
            if (language["code"] == "fr" && target["code"] == "en")
                frenchToEnglish = target["engine"] == "tervane";
        }
    }
    EXPECT_TRUE(frenchToEnglish) << languages.body;
    EXPECT_EQ(asking.process->Output().find(kKey), std::string::npos);
}

TEST_F(TervaneEngine, SaysWhenTheSharedServiceRefusesItsKeyOrHasNoRoute) {
    RunningServer refused = Asking(wrongKey_);
    const Reply reply = Ask(refused.port, "Le chat est noir.", "es");
    EXPECT_EQ(reply.status, 502);
    EXPECT_NE(reply.reason.find("refused the request (check the key of --tervane-key-file): "
                                "The API key is not valid for this service"),
              std::string::npos)
        << reply.reason;

    RunningServer asking = Asking(key_);
    const Reply missing = Ask(asking.port, "Le chat.", "ja");
    EXPECT_EQ(missing.status, 422);
    EXPECT_NE(missing.reason.find("has no route between them either"), std::string::npos)
        << missing.reason;
}

// In a row behind Apertium (Linux only, where Apertium runs): a service with French to
// Spanish alone asks the shared service for French to English.
TEST_F(TervaneEngine, InARowBehindApertiumOnLinuxTakesWhatApertiumCannot) {
    if (std::getenv("TERVANE_SERVICE_COMMAND") != nullptr)
        GTEST_SKIP() << "the apertium engine runs on Linux only";
    const std::filesystem::path modes =
        std::filesystem::temp_directory_path() / ("tervane-row-" + std::to_string(::getpid()));
    std::filesystem::create_directories(modes);
    std::filesystem::copy_file("/usr/share/apertium/modes/fr-es.mode", modes / "fr-es.mode",
                               std::filesystem::copy_options::overwrite_existing);
    RunningServer row = StartListening(network_->InClient(
        {TERVANE_SERVICE_BINARY, "--engine", "apertium,tervane", "--modes-dir", modes.string(),
         "--tervane-url", SharedOrigin(), "--tervane-key-file", key_.string()}));
    const std::size_t mark = row.process->OutputSize();
    EXPECT_EQ(Ask(row.port, "Le chat est noir.", "es").body, "\"El gato es negro.\"");
    EXPECT_EQ(Ask(row.port, "Le chat est noir.", "en").body, "\"The cat is black.\"");
    EXPECT_NE(row.process->WaitForLine("fr->es engine=apertium route=fr-es", mark), "");
    EXPECT_NE(row.process->WaitForLine("fr->en engine=tervane route=fr>en", mark), "");
    std::filesystem::remove_all(modes);
}
