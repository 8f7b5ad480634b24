// The program's exchange for one word against a real loopback server: the word address
// answered with the translation and the dictionary's entries; a service without that
// address asked for the translation instead, with no error; any other refusal worded as a
// translation's.
#include "LoopbackServer.h"
#include "net/HttplibTransport.h"
#include "protocol/WordsAnswer.h"
#include "translate/ServiceExchange.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

using namespace tervane;
using protocol::WordEntry;

namespace {

TEST(WordExchange, AWordGetsItsEntriesAndAServiceWithoutThemItsTranslation) {
    LoopbackServer server;
    std::vector<std::string> asked; // path and form of each request
    int wordStatus = 200;
    server.Server().Post("/words", [&](const httplib::Request& request, httplib::Response& answer) {
        asked.push_back(request.path + " " + request.body);
        answer.status = wordStatus;
        if (wordStatus == 200)
            answer.set_content(
                protocol::EncodeWordsAnswer(
                    {"bank\r\nof \"rivers\"", {{"n", {"bank", "bench"}}, {"", {"shoal"}}}}),
                "text/plain; charset=utf-8");
    });
    server.Server().Post("/translate",
                         [&](const httplib::Request& request, httplib::Response& answer) {
                             asked.push_back(request.path + " " + request.body);
                             answer.set_content("\"bank\"", "text/plain; charset=utf-8");
                         });
    HttpClient http(std::make_unique<HttplibTransport>());
    const std::string address = server.Url("/translate");
    EXPECT_EQ(WordsAddress(address), server.Url("/words"));

    // The translation's line cleaned as a translation is; the entries as the service gave them.
    ServiceTranslation word = RequestWord(http, address, " banque\r\n", "FR", "EN");
    EXPECT_EQ(word.translation, "bank of \"rivers\"");
    EXPECT_EQ(word.entries, (std::vector<WordEntry>{{"n", {"bank", "bench"}}, {"", {"shoal"}}}));
    EXPECT_EQ(asked,
              (std::vector<std::string>{"/words text=banque&source=fr&target=en&format=text&v=1"}));

    for (const int absent : {404, 405}) {
        asked.clear();
        wordStatus = absent;
        word = RequestWord(http, address, "banque", "FR", "EN");
        EXPECT_EQ(word.translation, "bank") << absent;
        EXPECT_TRUE(word.entries.empty()) << absent;
        EXPECT_EQ(asked.size(), 2u) << absent;
        EXPECT_EQ(asked.back(), "/translate text=banque&source=fr&target=en&format=text&v=1");
    }

    asked.clear();
    wordStatus = 503;
    EXPECT_THAT([&] { RequestWord(http, address, "banque", "FR", "EN"); },
                testing::ThrowsMessage<std::runtime_error>(
                    testing::StartsWith("The translation service failed: ")));
    EXPECT_EQ(asked.size(), 1u) << "a failing service is not asked again";
}

} // namespace
