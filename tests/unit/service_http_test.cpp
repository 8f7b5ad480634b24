// The request head parser and response writer of the service's HTTP layer, and its options.
#include "service/http/HttpMessage.h"

#include <gtest/gtest.h>

using namespace tervane::service;

namespace {

// The request of a whole head; the test fails when the head is refused or incomplete.
HttpRequest ParsedRequest(const std::string& head) {
    const auto result = ParseRequestHead(head, {});
    EXPECT_TRUE(result.Ok() && result.Value()) << head;
    return result.Ok() && result.Value() ? result.Value()->request : HttpRequest{};
}

} // namespace

TEST(RequestHead, ParsesMethodTargetHeadersAndLength) {
    const std::string wholeHead =
        "POST /translate?x=1 HTTP/1.1\r\nHost: a\r\ncontent-length:  12 \r\n"
        "Content-Type: application/x-www-form-urlencoded\r\n\r\n";
    const auto head = ParseRequestHead(wholeHead + "body", {});
    ASSERT_TRUE(head.Ok() && head.Value());
    const HttpRequest& request = head.Value()->request;
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.Path(), "/translate");
    EXPECT_EQ(request.contentLength, 12u);
    EXPECT_EQ(request.Header("CONTENT-TYPE"), "application/x-www-form-urlencoded");
    EXPECT_TRUE(request.keepAlive);
    EXPECT_EQ(head.Value()->length, wholeHead.size());

    const auto partial = ParseRequestHead("GET / HTTP/1.1\r\nHost: a\r\n", {});
    EXPECT_TRUE(partial.Ok() && !partial.Value());
    EXPECT_FALSE(ParsedRequest("GET /health HTTP/1.0\r\n\r\n").keepAlive);
    EXPECT_TRUE(ParsedRequest("POST / HTTP/1.1\r\nHost: a\r\nContent-Length: 1\r\n"
                              "Expect: 100-continue\r\n\r\n")
                    .expectContinue);
    EXPECT_FALSE(ParsedRequest("GET / HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n").keepAlive);
    // HTTP/1.0 needs no Host; a GET no length.
    EXPECT_EQ(ParsedRequest("GET / HTTP/1.0\r\n\r\n").method, "GET");
}

TEST(RequestHead, RefusesMalformedOversizedAndUnsupportedHeads) {
    const auto statusOf = [](const std::string& head, HeadLimits limits = {}) {
        const auto result = ParseRequestHead(head, limits);
        return result.Ok() ? 0 : result.Failure().status;
    };
    EXPECT_EQ(statusOf("GARBAGE\r\n\r\n"), 400);
    // Bare line feeds: refused as soon as one is seen, not when a CR LF CR LF never comes.
    EXPECT_EQ(statusOf("GET /health HTTP/1.1\nHost: x\n\n"), 400);
    EXPECT_EQ(statusOf("GET /health HTTP/1.1\r\nHost: x\n"), 400);
    EXPECT_EQ(statusOf("GET  HTTP/1.1\r\n\r\n"), 400);
    EXPECT_EQ(statusOf("GET nopath HTTP/1.1\r\n\r\n"), 400);
    EXPECT_EQ(statusOf("G(T / HTTP/1.1\r\n\r\n"), 400);
    EXPECT_EQ(statusOf("GET / HTTP/2.0\r\n\r\n"), 505);
    EXPECT_EQ(statusOf("GET / HTTP/1.1\r\nNoColon\r\n\r\n"), 400);
    EXPECT_EQ(statusOf("GET / HTTP/1.1\r\nBad Name: x\r\n\r\n"), 400);
    EXPECT_EQ(statusOf("POST / HTTP/1.1\r\nContent-Length: -1\r\n\r\n"), 400);
    EXPECT_EQ(statusOf("POST / HTTP/1.1\r\nContent-Length: 12abc\r\n\r\n"), 400);
    EXPECT_EQ(statusOf("POST / HTTP/1.1\r\nContent-Length: 99999999999999999999999\r\n\r\n"), 400);
    EXPECT_EQ(statusOf("POST / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n"), 400);
    EXPECT_EQ(statusOf("POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n"), 501);
    EXPECT_EQ(statusOf("POST / HTTP/1.1\r\nExpect: magic\r\n\r\n"), 417);
    // What a request smuggler or a confused client sends: refused, never guessed at.
    EXPECT_EQ(statusOf("GET / HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n"), 400);
    EXPECT_EQ(statusOf("GET / HTTP/1.1\r\nAccept: */*\r\n\r\n"), 400);
    EXPECT_EQ(statusOf(std::string("GET / HTTP/1.1\r\nHost: a\r\nX: a\0b\r\n\r\n", 35)), 400);
    EXPECT_EQ(statusOf("POST /translate HTTP/1.1\r\nHost: a\r\n\r\n"), 411);
    EXPECT_EQ(statusOf("POST /translate HTTP/1.0\r\n\r\n"), 411);
    std::string many = "GET / HTTP/1.1\r\n";
    for (int i = 0; i < 65; ++i)
        many += "X-" + std::to_string(i) + ": 1\r\n";
    EXPECT_EQ(statusOf(many + "\r\n"), 431);
    EXPECT_EQ(statusOf(std::string(20000, 'a')), 431); // no end of head in sight
    EXPECT_EQ(
        statusOf("GET / HTTP/1.1\r\nX: " + std::string(200, 'a') + "\r\n\r\n", HeadLimits{64, 64}),
        431);
}

TEST(Response, CarriesTheReasonPhraseMadeSafe) {
    HttpResponse response;
    response.status = 422;
    response.reason = "No translation route from French to Japanese";
    response.body = "x";
    EXPECT_EQ(SerializeResponse(response, true),
              "HTTP/1.1 422 No translation route from French to Japanese\r\n"
              "Content-Type: text/plain; charset=utf-8\r\nContent-Length: 1\r\n"
              "Connection: keep-alive\r\n\r\nx");
    response.reason = "two\r\nlines \xC3\xA9";
    const std::string text = SerializeResponse(response, false);
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "HTTP/1.1 422 two??lines ??");
    EXPECT_NE(text.find("Connection: close"), std::string::npos);
    EXPECT_EQ(SanitizeReason(std::string(500, 'a')).size(), 200u);
    HttpResponse plain;
    plain.status = 404;
    EXPECT_EQ(SerializeResponse(plain, true).substr(0, 22), "HTTP/1.1 404 Not Found");
}

TEST(Response, BusyClosesAndSaysWhenToTryAgainAndHeadLeavesTheBodyOut) {
    EXPECT_EQ(SerializeResponse(BusyResponse("Service busy"), true),
              "HTTP/1.1 503 Service busy\r\nContent-Type: text/plain; charset=utf-8\r\n"
              "Content-Length: 13\r\nRetry-After: 1\r\nConnection: close\r\n\r\nService busy\n");
    HttpResponse health;
    health.body = "{}\n";
    EXPECT_EQ(SerializeResponse(health, true, false),
              "HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\n"
              "Content-Length: 3\r\nConnection: keep-alive\r\n\r\n");
}

TEST(HostHeader, OnlyLoopbackNamesAndAddresses) {
    for (const char* host : {"127.0.0.1", "127.0.0.1:58470", "localhost", "LocalHost:80",
                             "localhost.", "127.1.2.3", "[::1]", "[::1]:58470", "::1"}) {
        EXPECT_TRUE(IsLoopbackHost(host)) << host;
    }
    for (const char* host :
         {"evil.example", "evil.example:58470", "128.0.0.1", "127.0.0.1.evil.example",
          "localhost.evil.example", "127.0.0", "127.0.0.256", "[::2]", "[::1]x", "",
          "127.0.0.1:", "127.0.0.1:80x", "0x7f.0.0.1"}) {
        EXPECT_FALSE(IsLoopbackHost(host)) << host;
    }
}
