// The request head parser and response writer of the service's HTTP layer, and its options.
#include "service/HttpMessage.h"
#include "service/Options.h"

#include <gtest/gtest.h>

using namespace tervane::service;

namespace {

HeadParse parse(const std::string &head, HeadLimits limits = {}) {
  return parseRequestHead(head, limits);
}

} // namespace

TEST(RequestHead, ParsesMethodTargetHeadersAndLength) {
  const auto head = parse("POST /translate?x=1 HTTP/1.1\r\nHost: a\r\ncontent-length:  12 \r\n"
                          "Content-Type: application/x-www-form-urlencoded\r\n\r\nbody");
  ASSERT_EQ(head.state, HeadParse::State::Complete);
  EXPECT_EQ(head.request.method, "POST");
  EXPECT_EQ(head.request.path(), "/translate");
  EXPECT_EQ(head.request.contentLength, 12u);
  EXPECT_EQ(head.request.header("CONTENT-TYPE"), "application/x-www-form-urlencoded");
  EXPECT_TRUE(head.request.keepAlive);
  EXPECT_EQ(std::string("POST /translate?x=1 HTTP/1.1\r\nHost: a\r\ncontent-length:  12 \r\n"
                        "Content-Type: application/x-www-form-urlencoded\r\n\r\n").size(),
            head.headLength);

  EXPECT_EQ(parse("GET / HTTP/1.1\r\nHost: a\r\n").state, HeadParse::State::NeedMore);
  const auto old = parse("GET /health HTTP/1.0\r\n\r\n");
  EXPECT_FALSE(old.request.keepAlive);
  EXPECT_TRUE(parse("POST / HTTP/1.1\r\nExpect: 100-continue\r\n\r\n").request.expectContinue);
  EXPECT_FALSE(parse("GET / HTTP/1.1\r\nConnection: close\r\n\r\n").request.keepAlive);
}

TEST(RequestHead, RefusesMalformedOversizedAndUnsupportedHeads) {
  const auto statusOf = [](const std::string &head, HeadLimits limits = {}) {
    const auto result = parseRequestHead(head, limits);
    return result.state == HeadParse::State::Error ? result.status : 0;
  };
  EXPECT_EQ(statusOf("GARBAGE\r\n\r\n"), 400);
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
  std::string many = "GET / HTTP/1.1\r\n";
  for (int i = 0; i < 65; ++i) many += "X-" + std::to_string(i) + ": 1\r\n";
  EXPECT_EQ(statusOf(many + "\r\n"), 431);
  EXPECT_EQ(statusOf(std::string(20000, 'a')), 431); // no end of head in sight
  EXPECT_EQ(statusOf("GET / HTTP/1.1\r\nX: " + std::string(200, 'a') + "\r\n\r\n", HeadLimits{64, 64}), 431);
}

TEST(Response, CarriesTheReasonPhraseMadeSafe) {
  HttpResponse response{422, "No translation route from French to Japanese", "text/plain; charset=utf-8", "x"};
  EXPECT_EQ(serializeResponse(response, true),
            "HTTP/1.1 422 No translation route from French to Japanese\r\n"
            "Content-Type: text/plain; charset=utf-8\r\nContent-Length: 1\r\n"
            "Connection: keep-alive\r\n\r\nx");
  response.reason = "two\r\nlines \xC3\xA9";
  const std::string text = serializeResponse(response, false);
  EXPECT_EQ(text.substr(0, text.find("\r\n")), "HTTP/1.1 422 two??lines ??");
  EXPECT_NE(text.find("Connection: close"), std::string::npos);
  EXPECT_EQ(sanitizeReason(std::string(500, 'a')).size(), 200u);
  HttpResponse plain{404, "", "text/plain", ""};
  EXPECT_EQ(serializeResponse(plain, true).substr(0, 22), "HTTP/1.1 404 Not Found");
}

TEST(CommandLine, ParsesEveryFlagAndRefusesBadValues) {
  const auto defaults = std::get<Options>(parseOptions({}));
  EXPECT_EQ(defaults.host, "127.0.0.1");
  EXPECT_EQ(defaults.port, 58470);
  EXPECT_EQ(defaults.engine, "apertium");
  EXPECT_EQ(defaults.maxBody, 65536u);

  const auto all = std::get<Options>(parseOptions(
      {"--listen", "[::1]:0", "--engine", "libretranslate", "--modes-dir", "/m", "--apy-url",
       "http://a:1", "--libretranslate-url", "http://b:2", "--api-key-file", "/k",
       "--pipes-per-pair", "3", "--timeout", "2.5", "--max-body", "1024", "--allow-remote"}));
  EXPECT_EQ(all.host, "::1");
  EXPECT_EQ(all.port, 0);
  EXPECT_EQ(all.engine, "libretranslate");
  EXPECT_EQ(all.modesDir, "/m");
  EXPECT_EQ(all.apyUrl, "http://a:1");
  EXPECT_EQ(all.libreTranslateUrl, "http://b:2");
  EXPECT_EQ(all.apiKeyFile, "/k");
  EXPECT_EQ(all.pipesPerPair, 3u);
  EXPECT_DOUBLE_EQ(all.timeoutSeconds, 2.5);
  EXPECT_EQ(all.maxBody, 1024u);
  EXPECT_TRUE(all.allowRemote);
  EXPECT_TRUE(std::get<Options>(parseOptions({"--help"})).help);

  for (const std::vector<std::string> &bad :
       std::vector<std::vector<std::string>>{{"--listen", "nohost"},
                                             {"--listen", "h:99999"},
                                             {"--engine", "google"},
                                             {"--pipes-per-pair", "0"},
                                             {"--timeout", "x"},
                                             {"--max-body", "10"},
                                             {"--timeout"},
                                             {"--frobnicate", "1"}}) {
    EXPECT_TRUE(std::holds_alternative<OptionsError>(parseOptions(bad))) << bad[0];
  }
}
