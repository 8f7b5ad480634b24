// A service shared with other machines (--allow-remote, --api-keys, --rate-limit). The
// service runs in a network namespace of the test's own and another machine is a client in
// a second one (TestNetwork), so the requests arrive from an address that is not loopback,
// as another machine's do, and the service needs no switch for tests. Where no namespace can
// be made these tests are skipped and say so.
#include "ChildProcess.h"
#include "TestNetwork.h"

#include "protocol/ServiceProtocol.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace tervane::testing;
namespace proto = tervane::protocol;

namespace {

constexpr const char* kAlpha = "k-alpha-7f3a9c";
constexpr const char* kBeta = "k-beta-51d0e2";
constexpr const char* kGamma = "k-gamma-c4e8b6";
const std::string kTranslation = "\"El gato es negro.\"";

std::filesystem::path KeyFile(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("tervane-keys-" + name + "-" + std::to_string(::getpid()));
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
    const auto next = path.string() + ".new";
    std::ofstream(next) << text;
    std::filesystem::rename(next, path); // the service never reads half a file
}

struct Answer {
    int status = 0; // 0: no answer
    std::string reason;
    std::string body;
    std::string contentType;
    std::string retryAfter;
};

// One request to the service at address:port, as any HTTP client sends it.
Answer SendTo(const std::string& address, unsigned short port, const std::string& method,
              const std::string& path, const std::string& body = "",
              const std::string& contentType = std::string(proto::kRequestContentType),
              httplib::Headers headers = {}) {
    httplib::Client client(address, port);
    client.set_read_timeout(std::chrono::seconds(30));
    httplib::Request request;
    request.method = method;
    request.path = path;
    request.headers = std::move(headers);
    if (method == "POST") {
        request.body = body;
        request.set_header("Content-Type", contentType);
    }
    const httplib::Result result = client.send(request);
    if (!result)
        return {};
    return {result->status, result->reason, result->body, result->get_header_value("Content-Type"),
            result->get_header_value("Retry-After")};
}

std::string Form(const std::string& extra = "") {
    return proto::BuildRequestBody("Le chat est noir.", "fr", "es") + extra;
}

httplib::Headers Bearer(const std::string& key) {
    return {{"Authorization", "Bearer " + key}};
}

// Who sends: a program on the service's machine, another machine, or that machine from an
// address of another IPv6 /64.
enum class Peer { Here, Other, OtherV6 };

class SharedServer : public ::testing::Test {
  protected:
    void SetUp() override {
        // Wine's sockets are made by its wineserver, which runs in this machine's own
        // network namespace: the Windows service cannot be put on another machine here.
        if (std::getenv("TERVANE_SERVICE_COMMAND") != nullptr)
            GTEST_SKIP() << "under Wine the service's sockets live in wineserver's namespace";
        if (!network_.Made())
            GTEST_SKIP() << "no network namespace could be made here (needs root and ip netns)";
        keys_ = KeyFile(::testing::UnitTest::GetInstance()->current_test_info()->name());
        WriteFile(keys_, std::string("# the office's keys\n") + kAlpha + "\n\n  " + kBeta + "\r\n");
    }
    void TearDown() override {
        server_.process.reset();
        std::filesystem::remove(keys_);
    }
    // On every address (0.0.0.0, or :: for both families), keys required from others.
    void Start(std::vector<std::string> flags, const std::string& host = "0.0.0.0") {
        flags.insert(flags.end(), {"--allow-remote", "--api-keys", keys_.string()});
        server_ = StartListening(network_.InServer(ServiceCommand(flags)), host);
    }
    Answer Send(Peer peer, const std::string& method, const std::string& path,
                const std::string& body = "",
                const std::string& contentType = std::string(proto::kRequestContentType),
                httplib::Headers headers = {}) {
        const auto send = [&](const std::string& address) {
            return [&, address] {
                return SendTo(address, Port(), method, path, body, contentType, headers);
            };
        };
        switch (peer) {
        case Peer::Here:
            return network_.OnServer(send("127.0.0.1"));
        case Peer::Other:
            return network_.OnClient(send(TestNetwork::kServerV4));
        case Peer::OtherV6:
            return network_.OnClient(send(TestNetwork::kServerOtherV6));
        }
        return {};
    }
    Answer Translate(Peer peer, httplib::Headers headers = {}) {
        return Send(peer, "POST", "/translate", Form(), std::string(proto::kRequestContentType),
                    std::move(headers));
    }
    unsigned short Port() const { return server_.port; }
    // Polls until a request with the key gets the status (the file is looked at once a
    // second): false when it did not within a generous deadline.
    bool WaitForKeyStatus(const std::string& key, int status) {
        const auto deadline = std::chrono::steady_clock::now() + ChildProcess::kOutputWait;
        while (std::chrono::steady_clock::now() < deadline) {
            if (Translate(Peer::Other, Bearer(key)).status == status)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    TestNetwork network_;
    std::filesystem::path keys_;
    RunningServer server_;
};

} // namespace

TEST_F(SharedServer, OtherMachinesNeedAValidKeyWhereverTheirClientsPutItThisMachineNone) {
    Start({});
    const std::size_t mark = server_.process->OutputSize();

    const Answer none = Translate(Peer::Other);
    EXPECT_EQ(none.status, 403);
    EXPECT_NE(none.reason.find("An API key is required for requests from other machines"),
              std::string::npos)
        << none.reason;
    EXPECT_EQ(none.body, none.reason + "\n");
    const Answer wrong = Translate(Peer::Other, Bearer("k-not-one-of-them"));
    EXPECT_EQ(wrong.status, 403);
    EXPECT_EQ(wrong.reason, "The API key is not valid for this service");

    // Where the clients of each face send it: a bearer token, the query, the form, JSON.
    EXPECT_EQ(Translate(Peer::Other, Bearer(kAlpha)).body, kTranslation);
    EXPECT_EQ(Send(Peer::Other, "POST", std::string("/translate?api_key=") + kBeta, Form()).body,
              kTranslation);
    EXPECT_EQ(Send(Peer::Other, "POST", "/translate", Form(std::string("&api_key=") + kAlpha)).body,
              kTranslation);
    nlohmann::json json = {{"q", "Le chat est noir."}, {"source", "fr"}, {"target", "es"}};
    json["api_key"] = "k-not-one-of-them";
    const Answer wrongJson =
        Send(Peer::Other, "POST", "/translate", json.dump(), "application/json");
    EXPECT_EQ(wrongJson.status, 403);
    EXPECT_EQ(wrongJson.contentType, "application/json");
    // LibreTranslate's clients read its own words.
    EXPECT_EQ(nlohmann::json::parse(wrongJson.body, nullptr, false).value("error", ""),
              "Invalid API key");
    json["api_key"] = kBeta;
    EXPECT_NE(Send(Peer::Other, "POST", "/translate", json.dump(), "application/json").status, 403);
    // APy's clients read APy's shape of error.
    const Answer apy = Send(Peer::Other, "POST", "/translate", "langpair=fra|spa&q=chat");
    EXPECT_EQ(apy.status, 403);
    const auto apyError = nlohmann::json::parse(apy.body, nullptr, false);
    EXPECT_EQ(apyError.value("status", ""), "error") << apy.body;
    EXPECT_EQ(apyError.value("code", 0), 403) << apy.body;
    EXPECT_NE(apyError.value("explanation", "").find("An API key is required"), std::string::npos);
    // The language list is open, as LibreTranslate's clients ask for it without their key.
    EXPECT_EQ(Send(Peer::Other, "GET", "/languages").status, 200);

    // This machine's programs need none; a web page in its browser is not one of them.
    EXPECT_EQ(Translate(Peer::Here).body, kTranslation);
    const httplib::Headers page{{"Origin", "https://example.invalid"}};
    EXPECT_EQ(Translate(Peer::Here, page).status, 403);
    httplib::Headers pageWithKey = page;
    pageWithKey.emplace("Authorization", std::string("Bearer ") + kAlpha);
    EXPECT_EQ(Translate(Peer::Here, pageWithKey).body, kTranslation);

    // The log names the other machine, never a key.
    EXPECT_NE(server_.process->WaitForLine(std::string("from=") + TestNetwork::kClientV4, mark),
              "");
    EXPECT_EQ(server_.process->WaitForLines("POST /translate", 11, mark).size(), 11u);
    const std::string log = server_.process->Output();
    EXPECT_NE(log.find("api keys: 2 read from"), std::string::npos) << log;
    for (const char* key : {kAlpha, kBeta, "k-not-one-of-them"})
        EXPECT_EQ(log.find(key), std::string::npos) << key << " in the log:\n" << log;
}

TEST_F(SharedServer, ReadsItsKeyFileAgainWhenItChangesAndRefusesAllWhenItIsGone) {
    Start({});
    ASSERT_EQ(Translate(Peer::Other, Bearer(kAlpha)).status, 200);
    ASSERT_EQ(Translate(Peer::Other, Bearer(kGamma)).status, 403);
    WriteFile(keys_, std::string(kGamma) + "\n");
    EXPECT_TRUE(WaitForKeyStatus(kGamma, 200));
    EXPECT_EQ(Translate(Peer::Other, Bearer(kAlpha)).status, 403);
    const std::size_t mark = server_.process->OutputSize();
    std::filesystem::remove(keys_);
    EXPECT_TRUE(WaitForKeyStatus(kGamma, 403));
    EXPECT_NE(server_.process->WaitForLine("api keys: cannot open", mark), "");
    WriteFile(keys_, std::string(kAlpha) + "\n");
    EXPECT_TRUE(WaitForKeyStatus(kAlpha, 200));
    EXPECT_EQ(server_.process->Output().find(kGamma), std::string::npos);
}

// Per address and per key: three from the address take its minute's share, whatever the
// key; the key's share is its own wherever it is used from.
TEST_F(SharedServer, AnswersBeyondTheRateWith429AndRetryAfterPerAddressAndPerKey) {
    Start({"--rate-limit", "3/min"}, "::");
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(Translate(Peer::Other, Bearer(kAlpha)).body, kTranslation) << i;
    const Answer over = Translate(Peer::Other, Bearer(kAlpha));
    EXPECT_EQ(over.status, 429);
    EXPECT_NE(over.reason.find("Too many requests: the limit is 3 a minute"), std::string::npos)
        << over.reason;
    const int wait = std::atoi(over.retryAfter.c_str());
    EXPECT_GE(wait, 1) << over.retryAfter;
    EXPECT_LE(wait, 60) << over.retryAfter;
    EXPECT_EQ(Translate(Peer::Other, Bearer(kBeta)).status, 429); // the address's share
    EXPECT_EQ(Translate(Peer::Other, Bearer("k-guess")).status, 429);
    for (int i = 0; i < 5; ++i) // this machine's own programs are not counted
        EXPECT_EQ(Translate(Peer::Here).body, kTranslation) << i;

    EXPECT_EQ(Translate(Peer::OtherV6, Bearer(kAlpha)).status, 429); // the key's share
    EXPECT_EQ(Translate(Peer::OtherV6, Bearer(kBeta)).body, kTranslation);
}
