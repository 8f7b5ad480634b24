// The HTTP client over cpp-httplib (the Linux program's and the service's remote engines')
// against a real loopback server: kept-alive connections reused, cookies per server,
// redirects not followed, and the failures told apart (refused, the deadline, too large).
#include "LoopbackServer.h"
#include "net/HttpClient.h"
#include "net/HttplibTransport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <set>
#include <thread>

using namespace tervane;

namespace {

HttpRequest Get(const std::string& url) {
    return HttpRequest{"GET", url, ParseHttpUrl(url), {}, "", ""};
}

TEST(HttplibTransport, KeepsConnectionsAndCookiesAndFollowsNoRedirect) {
    LoopbackServer server;
    std::set<int> clientPorts;
    std::vector<std::string> cookies;
    server.Server().Get("/", [&](const httplib::Request& request, httplib::Response& response) {
        clientPorts.insert(request.remote_port);
        cookies.push_back(request.get_header_value("Cookie"));
        response.set_header("Set-Cookie", "session=abc; Path=/");
        response.set_content("hello", "text/plain");
    });
    server.Server().Get("/moved", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/");
    });
    HttpClient http(std::make_unique<HttplibTransport>());
    EXPECT_EQ(http.Get(server.Url("/")), "hello");
    EXPECT_EQ(http.Get(server.Url("/")), "hello");
    EXPECT_THAT([&] { http.Get(server.Url("/moved")); },
                testing::ThrowsMessage<std::runtime_error>(testing::StartsWith("HTTP/1.1 302")));
    EXPECT_EQ(http.ResponseLocation(), server.Url("/"));
    EXPECT_EQ(clientPorts.size(), 1u) << "the second request took a new connection";
    EXPECT_THAT(cookies, testing::ElementsAre("", "session=abc"));
}

TEST(HttplibTransport, TellsARefusalTheDeadlineAndAFloodApart) {
    LoopbackServer server;
    // A byte every 200 ms: each read is quick, the whole answer would take 20 s.
    server.Server().Get("/trickle", [](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(
            "text/plain", [](std::size_t offset, httplib::DataSink& sink) {
                if (offset >= 100) {
                    sink.done();
                    return true;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                return sink.write("x", 1);
            });
    });
    server.Server().Get("/flood", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(std::string(300000, 'x'), "text/plain");
    });
    HttplibTransport transport;

    HttpRequest trickle = Get(server.Url("/trickle"));
    trickle.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    EXPECT_THROW(transport.Send(trickle), HttpTimeoutError);

    HttpRequest flood = Get(server.Url("/flood"));
    flood.maxBodyBytes = 100000;
    EXPECT_THROW(transport.Send(flood), HttpTooLargeError);
    flood.maxBodyBytes = 0;
    EXPECT_EQ(transport.Send(flood).body.size(), 300000u);

    std::string closed;
    {
        LoopbackServer gone;
        closed = gone.Url("/");
    }
    EXPECT_THROW(transport.Send(Get(closed)), HttpConnectionError);
}

} // namespace
