// WinHTTP as the Windows service reaches remote engines: an answer that trickles ends at the
// exchange's deadline, an answer too large is refused, and https:// servers are reached
// with their certificate checked against the system's trusted roots (a test CA put there).
#include "tests/wine/LoopbackHttpServer.h"

#include "base/WideText_win.h"
#include "net/HttpClient.h"
#include "net/WinHttpTransport_win.h"

#include "WineTestSupport.h"

#include <windows.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wincrypt.h>

#include <fstream>
#include <sstream>

using namespace tervane;

namespace {

using testing::HasSubstr;

std::string Url(unsigned short port, std::string_view scheme = "http") {
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port) + "/translate";
}

std::string ErrorOf(HttpClient& http, const std::string& url) {
    try {
        http.Get(url);
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no error";
}

TEST(RemoteTransport, ATrickledAnswerEndsAtTheDeadlineAndAFloodIsRefused) {
    LoopbackHttpServer server([](const ReceivedRequest& request) {
        const std::size_t size = request.target == "/flood" ? 300000 : 100;
        return LoopbackHttpServer::Response(200, "OK", std::string(size, 'x'));
    });
    HttpTimeouts bounded = kDefaultHttpTimeouts;
    bounded.totalMs = 2000;
    bounded.maxBodyBytes = 100000;
    HttpClient http(std::make_unique<WinHttpTransport>(bounded));
    const std::string flood = "http://127.0.0.1:" + std::to_string(server.Port()) + "/flood";
    EXPECT_EQ(ErrorOf(http, flood), "The answer is larger than 100000 bytes (GET " + flood + ")");

    // 100 bytes at one every 300 ms would take 30 s; each read alone is quick. The exchange
    // ends at its deadline, while the server is still sending.
    server.TrickleBody(300);
    const std::string url = Url(server.Port());
    EXPECT_EQ(ErrorOf(http, url), "The operation timed out (GET " + url + ")");
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
    EXPECT_THAT(http.Get(Url(goodPort_, "https")), testing::StrEq("Tervane TLS test server"));
    const std::string stranger = Url(badPort_, "https");
    EXPECT_EQ(ErrorOf(http, stranger),
              "The secure connection with the server failed or its certificate is not trusted "
              "(GET " +
                  stranger + ")");
}

} // namespace
