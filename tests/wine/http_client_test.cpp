// The HTTP client over Wine's WinHTTP against real loopback servers: the request as it
// arrives, cookies, redirects, failures and time-outs, the exchange's deadline and its
// answer's bound (as the Windows service reaches remote engines), https:// servers checked
// against the system's trusted roots (a test CA put there), and the system proxy from the
// registry.
#include "tests/wine/LoopbackHttpServer.h"

#include "base/Registry_win.h"
#include "base/WideText_win.h"
#include "net/ProxySettings.h"
#include "net/WinHttpTransport_win.h"
#include "protocol/ServiceProtocol.h"
#include "translate/ServiceExchange.h"

#include "WineTestSupport.h"

#include <windows.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wincrypt.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

using namespace tervane;

namespace {

std::string Url(const LoopbackHttpServer& server, std::string_view path,
                std::string_view host = "127.0.0.1") {
    return "http://" + std::string(host) + ":" + std::to_string(server.Port()) + std::string(path);
}

// Matches a call that throws an exception with exactly this message.
inline auto ThrowsError(std::string message) {
    return testing::ThrowsMessage<std::exception>(testing::StrEq(std::move(message)));
}

class HttpClientWinTest : public testing::Test {
  protected:
    HttpClient http{std::make_unique<WinHttpTransport>()};
};

TEST_F(HttpClientWinTest, TheServiceReceivesTheFormAsTheProgramBuiltIt) {
    LoopbackHttpServer server([](const ReceivedRequest&) {
        return LoopbackHttpServer::Response(200, "OK", "\"Hallo \\\"Welt\\\" \xF0\x9F\x98\x80\"");
    });
    const std::string text =
        "a&b=c+d%e f \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xF0\x9F\x98\x80";
    EXPECT_EQ(RequestTranslation(http, Url(server, "/translate"), text, "ZH-TW", "EN"),
              "Hallo \"Welt\" \xF0\x9F\x98\x80");

    const std::vector<ReceivedRequest> received = server.Requests();
    ASSERT_EQ(received.size(), 1u);
    const ReceivedRequest& post = received[0];
    const std::string body = tervane::protocol::BuildRequestBody(text, "zh-tw", "en");
    EXPECT_EQ(post.method, "POST");
    EXPECT_EQ(post.target, "/translate");
    EXPECT_EQ(post.version, "HTTP/1.1");
    EXPECT_EQ(post.body, body);
    EXPECT_EQ(post.Header("Content-Length"), std::to_string(body.size()));
    EXPECT_EQ(post.Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(post.Header("Accept"), "text/html, */*");
    EXPECT_EQ(post.Header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)");
    EXPECT_EQ(post.Header("Host"), "127.0.0.1:" + std::to_string(server.Port()));
    EXPECT_FALSE(post.Header("Proxy-Authorization"));
}

TEST_F(HttpClientWinTest, ACookieSetByOneResponseGoesBackWithTheNext) {
    LoopbackHttpServer server([](const ReceivedRequest& request) {
        return request.target == "/first"
                   ? LoopbackHttpServer::Response(200, "OK", "",
                                                  "Set-Cookie: session=abc123; Path=/\r\n")
                   : LoopbackHttpServer::Response(200, "OK", "second");
    });
    http.Get(Url(server, "/first"));
    EXPECT_EQ(http.Post(Url(server, "/second"), "x=1"), "second");
    const std::vector<ReceivedRequest> received = server.Requests();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_FALSE(received[0].Header("Cookie"));
    EXPECT_EQ(received[1].Header("Cookie"), "session=abc123");
}

TEST_F(HttpClientWinTest, ARedirectIsNotFollowedAndItsLocationServesTheOneRetry) {
    std::string moved;
    LoopbackHttpServer server([&moved](const ReceivedRequest& request) {
        return request.target == "/translate"
                   ? LoopbackHttpServer::Response(302, "Found", "", "Location: " + moved + "\r\n")
                   : LoopbackHttpServer::Response(200, "OK", "\"Moved here\"");
    });
    moved = Url(server, "/moved");
    EXPECT_THAT([&] { http.Post(Url(server, "/translate"), "x=1"); },
                ThrowsError("HTTP/1.1 302 Found"));
    EXPECT_EQ(http.ResponseLocation(), moved);
    EXPECT_EQ(RequestTranslation(http, Url(server, "/translate"), "Bonjour", "FR", "EN"),
              "Moved here");

    const std::vector<ReceivedRequest> received = server.Requests();
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0].method + " " + received[0].target, "POST /translate");
    EXPECT_EQ(received[1].method + " " + received[1].target, "POST /translate");
    EXPECT_EQ(received[2].method + " " + received[2].target, "GET /moved");
}

TEST_F(HttpClientWinTest, FailuresEndAsReadableErrors) {
    LoopbackHttpServer server([](const ReceivedRequest& request) {
        return request.target == "/translate"
                   ? LoopbackHttpServer::Response(422,
                                                  "No translation route from French to Japanese")
                   : LoopbackHttpServer::Response(404, "Not Found", "no such page");
    });
    EXPECT_THAT([&] { http.Get(Url(server, "/nothing")); }, ThrowsError("HTTP/1.1 404 Not Found"));
    EXPECT_THAT([&] { RequestTranslation(http, Url(server, "/translate"), "Oui", "FR", "JA"); },
                ThrowsError("The translation service cannot translate this: No translation route "
                            "from French to Japanese"));

    // A port nobody listens on: refused at once, with the system's reason.
    unsigned short closedPort = 0;
    {
        LoopbackHttpServer gone([](const ReceivedRequest&) { return std::string(); });
        closedPort = gone.Port();
    }
    const std::string closedUrl = "http://127.0.0.1:" + std::to_string(closedPort) + "/translate";
    EXPECT_THAT([&] { http.Post(closedUrl, "x=1"); },
                ThrowsError("A connection with the server could not be established (POST " +
                            closedUrl + ")"));
    // Told apart from other failures, so that the exchange can say the service is stopped.
    EXPECT_THROW(http.Post(closedUrl, "x=1"), HttpConnectionError);
    EXPECT_THROW(http.Get(Url(server, "/nothing")), std::runtime_error);
    try {
        http.Get(Url(server, "/nothing"));
    } catch (const HttpConnectionError&) {
        ADD_FAILURE() << "a status is no connection failure";
    } catch (const std::runtime_error&) {
    }
}

TEST_F(HttpClientWinTest, AServerThatNeverAnswersEndsInATimeOut) {
    LoopbackHttpServer silent([](const ReceivedRequest&) { return std::string(); });
    const std::string url = Url(silent, "/translate");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THAT([&] { RequestTranslation(http, url, "Bonjour", "FR", "EN"); },
                ThrowsError("The operation timed out (POST " + url + ")"));
    std::printf("timed out after %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - start)
                                           .count()));
    EXPECT_EQ(silent.Requests().size(), 1u);
}

TEST_F(HttpClientWinTest, ATrickledAnswerEndsAtTheDeadlineAndAFloodIsRefused) {
    LoopbackHttpServer server([](const ReceivedRequest& request) {
        const std::size_t size = request.target == "/flood" ? 300000 : 100;
        return LoopbackHttpServer::Response(200, "OK", std::string(size, 'x'));
    });
    WinHttpTransport transport;
    const std::string flood = Url(server, "/flood");
    HttpRequest request{"GET", flood, ParseHttpUrl(flood), {}, "", ""};
    request.maxBodyBytes = 100000;
    EXPECT_THAT([&] { transport.Send(request); },
                testing::Throws<HttpTooLargeError>(testing::Property(
                    &std::exception::what,
                    testing::StrEq("The answer is larger than 100000 bytes (GET " + flood + ")"))));

    // 100 bytes at one every 300 ms would take 30 s; each read alone is quick. The exchange
    // ends at its deadline, while the server is still sending.
    server.TrickleBody(300);
    const std::string url = Url(server, "/translate");
    request = HttpRequest{"GET", url, ParseHttpUrl(url), {}, "", ""};
    request.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    EXPECT_THAT(
        [&] { transport.Send(request); },
        testing::Throws<HttpTimeoutError>(testing::Property(
            &std::exception::what, testing::StrEq("The operation timed out (GET " + url + ")"))));
    EXPECT_FALSE(server.AllSent()) << "the whole trickle was waited for";
}

// TLS servers on the Linux side of the session (tls-servers.sh): "good" with a certificate
// from a CA the test puts among the machine's trusted roots, "bad" from one nobody trusts.
class HttpsServers : public testing::Test {
  protected:
    void SetUp() override {
        std::istringstream ports(RunOnLinux(Script() + " start " + kDir, 60000).value_or(""));
        ports >> goodPort_ >> badPort_;
        ASSERT_NE(goodPort_, 0);
        ASSERT_NE(badPort_, 0);
        TrustTestCa(true);
    }
    void TearDown() override {
        TrustTestCa(false);
        RunOnLinux(Script() + " stop " + kDir);
    }

    unsigned short goodPort_ = 0, badPort_ = 0;

  private:
    static constexpr const char* kDir = "/tmp/tervane-https-test";
    static std::string Script() {
        const std::string source = __FILE__;
        return source.substr(0, source.find_last_of('/')) + "/tls-servers.sh";
    }
    // Puts the test's CA among the machine's trusted roots, or takes it out again.
    static void TrustTestCa(bool trust) {
        std::ifstream file(std::string("Z:") + kDir + "/trusted.pem");
        std::stringstream pem;
        pem << file.rdbuf();
        const std::string text = pem.str();
        BYTE der[8192];
        DWORD size = sizeof der;
        ASSERT_TRUE(CryptStringToBinaryA(text.c_str(), 0, CRYPT_STRING_BASE64HEADER, der, &size,
                                         nullptr, nullptr));
        HCERTSTORE root =
            CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
        ASSERT_NE(root, nullptr);
        PCCERT_CONTEXT added = nullptr;
        ASSERT_TRUE(CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der, size,
                                                     CERT_STORE_ADD_REPLACE_EXISTING, &added));
        if (!trust)
            CertDeleteCertificateFromStore(added);
        else
            CertFreeCertificateContext(added);
        CertCloseStore(root, 0);
    }
};

TEST_F(HttpsServers, ATrustedServerAnswersAndAnUntrustedOneIsAClearErrorNamingIt) {
    HttpClient http(std::make_unique<WinHttpTransport>());
    const auto url = [](unsigned short port) {
        return "https://127.0.0.1:" + std::to_string(port) + "/translate";
    };
    EXPECT_THAT(http.Get(url(goodPort_)), testing::StrEq("Tervane TLS test server"));
    const std::string stranger = url(badPort_);
    EXPECT_THAT([&] { http.Get(stranger); },
                ThrowsError("The secure connection with the server failed or its certificate "
                            "is not trusted (GET " +
                            stranger + ")"));
}

// The current user's proxy values, set for a test and put back as they were afterwards.
class SystemProxy {
  public:
    SystemProxy() {
        RegCreateKeyExW(HKEY_CURRENT_USER, Widen(kInternetSettingsKey).c_str(), 0, nullptr, 0,
                        KEY_READ | KEY_WRITE, nullptr, &key_, nullptr);
        for (Saved& saved : saved_) {
            DWORD size = 0;
            saved.present = RegQueryValueExW(key_, saved.name, nullptr, &saved.type, nullptr,
                                             &size) == ERROR_SUCCESS;
            saved.data.resize(size);
            if (saved.present)
                RegQueryValueExW(key_, saved.name, nullptr, &saved.type, saved.data.data(), &size);
        }
    }
    ~SystemProxy() {
        for (const Saved& saved : saved_) {
            if (saved.present)
                RegSetValueExW(key_, saved.name, 0, saved.type, saved.data.data(),
                               static_cast<DWORD>(saved.data.size()));
            else
                RegDeleteValueW(key_, saved.name);
        }
        RegCloseKey(key_);
    }
    void Set(const std::string& server, DWORD enable) {
        const std::wstring text = Widen(server);
        RegSetValueExW(key_, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegSetValueExW(key_, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable),
                       sizeof(enable));
    }

  private:
    struct Saved {
        const wchar_t* name;
        bool present = false;
        DWORD type = 0;
        std::vector<BYTE> data;
    };
    HKEY key_ = nullptr;
    Saved saved_[2] = {{L"ProxyServer", false, 0, {}}, {L"ProxyEnable", false, 0, {}}};
};

// This machine's own name and the IPv4 address it resolves to: a name that is not a
// loopback name, so requests to it follow the proxy, but one that a test server can serve.
std::pair<std::string, std::string> OwnHostName() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    char name[256] = {};
    gethostname(name, sizeof(name));
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    std::string address;
    if (getaddrinfo(name, nullptr, &hints, &found) == 0) {
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr, text,
                  sizeof(text));
        address = text;
        freeaddrinfo(found);
    }
    WSACleanup();
    return {name, address};
}

TEST_F(HttpClientWinTest, TheSystemProxyCarriesRequestsButNotThoseToThisMachinesLoopback) {
    const auto [hostName, hostAddress] = OwnHostName();
    ASSERT_FALSE(hostAddress.empty()) << "cannot resolve this machine's name " << hostName;
    auto answer = [](const char* what) {
        return [what](const ReceivedRequest&) {
            return LoopbackHttpServer::Response(200, "OK", std::string("\"") + what + "\"");
        };
    };
    LoopbackHttpServer proxy(answer("proxy"));
    LoopbackHttpServer named(answer("named"), hostAddress);
    LoopbackHttpServer local(answer("local"));
    const std::string namedUrl = Url(named, "/translate", hostName);
    SystemProxy system;
    WinRegistry registry;

    system.Set("127.0.0.1:" + std::to_string(proxy.Port()), 1);
    ApplySystemProxy(http, registry);
    EXPECT_EQ(RequestTranslation(http, namedUrl, "Bonjour", "FR", "EN"), "proxy");
    // This machine's loopback is reached directly even while a proxy is set.
    EXPECT_EQ(RequestTranslation(http, Url(local, "/translate"), "Bonjour", "FR", "EN"), "local");

    system.Set("127.0.0.1:" + std::to_string(proxy.Port()), 0);
    ApplySystemProxy(http, registry);
    EXPECT_EQ(RequestTranslation(http, namedUrl, "Bonjour", "FR", "EN"), "named");

    const std::vector<ReceivedRequest> viaProxy = proxy.Requests();
    ASSERT_EQ(viaProxy.size(), 1u);
    EXPECT_EQ(viaProxy[0].target, namedUrl);
    EXPECT_EQ(viaProxy[0].Header("Proxy-Authorization"), "Basic Og==");
    EXPECT_EQ(viaProxy[0].body, tervane::protocol::BuildRequestBody("Bonjour", "fr", "en"));
    ASSERT_EQ(named.Requests().size(), 1u);
    EXPECT_EQ(named.Requests()[0].target, "/translate");
    EXPECT_EQ(local.Requests().size(), 1u);
}

} // namespace
