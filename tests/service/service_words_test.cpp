// POST /words: a one-word text's translation with the dictionary's entries, from the real
// service over Debian's Apertium pairs, and from the remote engines over what their servers
// offer.
#include "ChildProcess.h"
#include "ServiceClient.h"

#include "protocol/WordsAnswer.h"

#include <gtest/gtest.h>

using namespace tervane::testing;
namespace proto = tervane::protocol;

namespace {

// The answer read as the program reads it; a failure names what came instead.
proto::WordsAnswer Words(unsigned short port, const std::string& text, const std::string& source,
                         const std::string& target) {
    const Reply reply = PostWords(port, text, source, target);
    EXPECT_EQ(reply.status, 200) << text << ": " << reply.reason;
    EXPECT_EQ(reply.contentType, "text/plain; charset=utf-8");
    const auto answer = proto::DecodeWordsAnswer(reply.body);
    EXPECT_TRUE(answer) << reply.body;
    return answer.value_or(proto::WordsAnswer{});
}

} // namespace

TEST(WordsService, ApertiumGivesTheDictionaryOfOneWord) {
    const RunningServer service = StartListening(ServiceCommand({}));

    // Each part of speech once, its analyses' translations merged in the dictionary's order;
    // a capitalised word looked up in the dictionary's case.
    const proto::WordsAnswer casa{"House",
                                  {{"n", {"house", "home"}}, {"vblex", {"marry", "get married"}}}};
    EXPECT_EQ(Words(service.port, "casa", "es", "en"), casa);
    EXPECT_EQ(Words(service.port, "Casa", "es", "en"), casa);
    EXPECT_EQ(Words(service.port, "banco.", "es", "en"),
              (proto::WordsAnswer{"Bank.", {{"n", {"bank"}}}}));

    // Unknown, several words, or the same language: the translation alone.
    EXPECT_EQ(Words(service.port, "xyzzy", "es", "en"), (proto::WordsAnswer{"xyzzy", {}}));
    EXPECT_EQ(Words(service.port, "el banco", "es", "en"), (proto::WordsAnswer{"The bank", {}}));
    EXPECT_EQ(Words(service.port, "casa", "es", "es"), (proto::WordsAnswer{"casa", {}}));

    // Two pairs: French "maison" is Spanish "casa" (n), whose translations in the second
    // pair's dictionary are the entry's.
    const std::size_t mark = service.process->OutputSize();
    EXPECT_EQ(Words(service.port, "maison", "fr", "en"),
              (proto::WordsAnswer{"House", {{"n", {"house", "home"}}}}));
    EXPECT_NE(service.process->WaitForLine("POST /words fr->en ", mark)
                  .find("route=fr-es,spa-eng entries=1 "),
              std::string::npos);

    // Refused as /translate refuses.
    EXPECT_EQ(PostWords(service.port, "chat", "fr", "ja").status, 422);
    EXPECT_EQ(PostWords(service.port, "", "fr", "es").status, 400);
    EXPECT_EQ(PostWords(service.port, "chat", "xx", "es").status, 400);
    const Reply get = GetPath(service.port, "/words");
    EXPECT_EQ(get.status, 405);
    EXPECT_EQ(get.reason, "Use POST for /words");
}
