// The HTTP client's configuration, failures and proxy choice, over a recording transport.
#include "net/HttpClient.h"
#include "tests/unit/FakeHttpTransport.h"

#include <gtest/gtest.h>

using namespace tervane;

namespace {

class HttpClientTest : public testing::Test, protected FakeHttpClient {};

TEST_F(HttpClientTest, RequestsCarryTheFixedHeadersAndThePostsBody) {
    fake.script = {FakeHttpTransport::Answer(200, "OK", "first"),
                   FakeHttpTransport::Answer(204, "No Content")};
    http.Request().contentType = "application/x-www-form-urlencoded";
    EXPECT_EQ(http.Post("http://example.org:8080/a/b?c=d#part", "x=1&y=%20"), "first");
    EXPECT_EQ(http.Get("http://Example.org"), "");

    ASSERT_EQ(fake.requests.size(), 2u);
    const HttpRequest& post = fake.requests[0];
    EXPECT_EQ(post.method, "POST");
    EXPECT_EQ(post.target.host, "example.org");
    EXPECT_EQ(post.target.port, 8080);
    EXPECT_EQ(post.target.path, "/a/b?c=d");
    EXPECT_EQ(post.body, "x=1&y=%20");
    EXPECT_EQ(FakeHttpTransport::Header(post, "Accept"), "text/html, */*");
    EXPECT_EQ(FakeHttpTransport::Header(post, "User-Agent"),
              "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)");
    EXPECT_EQ(FakeHttpTransport::Header(post, "Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(post.proxy, "");

    const HttpRequest& get = fake.requests[1];
    EXPECT_EQ(get.method, "GET");
    EXPECT_EQ(get.target.port, 80);
    EXPECT_EQ(get.target.path, "/");
    EXPECT_EQ(get.body, "");
    EXPECT_FALSE(get.target.secure);
    EXPECT_FALSE(FakeHttpTransport::Header(get, "Content-Type"));
    EXPECT_EQ(FakeHttpTransport::Header(get, "Accept"), "text/html, */*");
}

TEST_F(HttpClientTest, EveryFailureIsAnErrorAndTheLastLocationStaysReadable) {
    fake.script = {FakeHttpTransport::Answer(404, "Not Found", "no such page"),
                   FakeHttpTransport::Answer(302, "Found", "", "http://example.org/elsewhere"),
                   FakeHttpTransport::Answer(500, ""), std::nullopt};
    EXPECT_THAT([&] { http.Post("http://example.org/", "x"); },
                ThrowsError("HTTP/1.1 404 Not Found"));
    EXPECT_EQ(http.ResponseLocation(), "");
    EXPECT_THAT([&] { http.Post("http://example.org/", "x"); }, ThrowsError("HTTP/1.1 302 Found"));
    EXPECT_EQ(http.ResponseLocation(), "http://example.org/elsewhere");
    EXPECT_THAT([&] { http.Get("http://example.org/"); }, ThrowsError("HTTP/1.1 500"));
    // A request that got no response leaves no stale Location behind.
    fake.script.front() = FakeHttpTransport::Answer(301, "Moved", "", "http://example.org/x");
    fake.script.push_back(std::nullopt);
    EXPECT_THAT([&] { http.Get("http://example.org/"); }, ThrowsError("HTTP/1.1 301 Moved"));
    EXPECT_THAT([&] { http.Get("http://example.org/"); },
                ThrowsError("A connection with the server could not be established"));
    EXPECT_EQ(http.ResponseLocation(), "");

    for (const char* bad :
         {"ftp://example.org/", "example.org", "http://", "https://", "http://:80/",
          "http://host:/", "http://host:99999/", "http://host:8x/", "http://[::1"})
        EXPECT_THAT([&] { http.Get(bad); },
                    ThrowsError(std::string("Invalid HTTP address '") + bad + "'"));
    EXPECT_EQ(fake.requests.size(), 5u);
}

TEST_F(HttpClientTest, HttpsAddressesAskForTlsOnPort443UnlessTheyNameAnother) {
    fake.script = {FakeHttpTransport::Answer(200, "OK"), FakeHttpTransport::Answer(200, "OK")};
    http.Get("HTTPS://translate.example.org/translate?q=1");
    http.Get("https://[::1]:8443");
    ASSERT_EQ(fake.requests.size(), 2u);
    EXPECT_TRUE(fake.requests[0].target.secure);
    EXPECT_EQ(fake.requests[0].target.port, 443);
    EXPECT_EQ(fake.requests[0].target.path, "/translate?q=1");
    EXPECT_EQ(fake.requests[1].target.host, "[::1]");
    EXPECT_EQ(fake.requests[1].target.port, 8443);
    EXPECT_EQ(ResolveHttpUrl("https://a.example/x/y", "z"), "https://a.example/x/z");
}

TEST_F(HttpClientTest, ARelativeLocationIsKeptResolvedAgainstTheRequestsAddress) {
    const std::string base = "http://example.org:8080/a/b/c?q=1#f";
    for (const auto& [location, resolved] : std::vector<std::pair<std::string, std::string>>{
             {"/moved", "http://example.org:8080/moved"},
             {"moved?x=2", "http://example.org:8080/a/b/moved?x=2"},
             {"../up", "http://example.org:8080/a/up"},
             {"./../../../top", "http://example.org:8080/top"},
             {"?other", "http://example.org:8080/a/b/c?other"},
             {"//mirror.example.org/t", "http://mirror.example.org/t"},
             {"http://elsewhere.example/x#frag", "http://elsewhere.example/x"},
         }) {
        fake.script = {FakeHttpTransport::Answer(302, "Found", "", location)};
        EXPECT_THROW(http.Post(base, "x"), std::runtime_error);
        EXPECT_EQ(http.ResponseLocation(), resolved) << location;
    }
}

TEST_F(HttpClientTest, AProxyCarriesEveryRequestButThoseToThisMachine) {
    ProxyParams& proxy = http.Proxy();
    proxy.basicAuthentication = true;
    proxy.proxyPort = 3128;
    proxy.proxyServer = "proxy.corp";
    const char* remote[] = {"http://example.org/", "http://128.0.0.1/", "http://127.0.0.1.example/",
                            "http://localhost.example/", "http://[::2]/"};
    const char* loopback[] = {"http://127.0.0.1:58470/translate", "http://127.255.0.9/",
                              "http://localhost/", "http://LocalHost.:81/", "http://[::1]:80/"};
    for (const char* url : remote) {
        fake.script.push_back(FakeHttpTransport::Answer(200, "OK"));
        http.Get(url);
        EXPECT_EQ(fake.requests.back().proxy, "proxy.corp:3128") << url;
        // Basic proxy authentication with the empty user name and password.
        EXPECT_EQ(FakeHttpTransport::Header(fake.requests.back(), "Proxy-Authorization"),
                  "Basic Og==");
    }
    for (const char* url : loopback) {
        fake.script.push_back(FakeHttpTransport::Answer(200, "OK"));
        http.Get(url);
        EXPECT_EQ(fake.requests.back().proxy, "") << url;
        EXPECT_FALSE(FakeHttpTransport::Header(fake.requests.back(), "Proxy-Authorization"));
    }

    proxy.proxyUsername = "user";
    proxy.proxyPassword = "pass";
    proxy.Clear();
    EXPECT_EQ(proxy.proxyServer, "");
    EXPECT_EQ(proxy.proxyPort, 0);
    EXPECT_EQ(proxy.proxyUsername, "");
    EXPECT_EQ(proxy.proxyPassword, "");
    EXPECT_TRUE(proxy.basicAuthentication);
    fake.script.push_back(FakeHttpTransport::Answer(200, "OK"));
    http.Get("http://example.org/");
    EXPECT_EQ(fake.requests.back().proxy, "");
}

} // namespace
