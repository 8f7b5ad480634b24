// POST /words: a one-word text's translation with the dictionary's entries, from the real
// service over Debian's Apertium pairs, and from the remote engines over what their servers
// offer.
#include "ChildProcess.h"
#include "ServiceClient.h"

#include "protocol/WordsAnswer.h"

#include <filesystem>
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
    // A selected line: its line break is translated, not looked up.
    EXPECT_EQ(Words(service.port, " casa\n", "es", "en").entries, casa.entries);
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

    // The same stages as processes of their own, with the other runner.
    const RunningServer processes =
        StartListening(ServiceCommand({"--apertium-runner", "processes"}));
    EXPECT_EQ(Words(processes.port, "casa", "es", "en"), casa);

    // Refused as /translate refuses.
    EXPECT_EQ(PostWords(service.port, "chat", "fr", "ja").status, 422);
    EXPECT_EQ(PostWords(service.port, "", "fr", "es").status, 400);
    EXPECT_EQ(PostWords(service.port, "chat", "xx", "es").status, 400);
    const Reply get = GetPath(service.port, "/words");
    EXPECT_EQ(get.status, 405);
    EXPECT_EQ(get.reason, "Use POST for /words");
}

TEST(WordsService, RemoteEnginesGiveWhatTheirServersOffer) {
    const proto::WordsAnswer casa{"House",
                                  {{"n", {"house", "home"}}, {"vblex", {"marry", "get married"}}}};

    // APy: its /perWord's analyses and their lookups, for the pairs it has analysers of;
    // for the others the translation alone.
    const std::string apyRoot = ApyRootWithWordModes();
    const unsigned short apyPort = FreeLoopbackPort();
    const auto apy = StartApertiumApy(apyPort, apyRoot);
    const RunningServer viaApy = StartListening(ServiceCommand(
        {"--engine", "apy", "--apy-url", "http://127.0.0.1:" + std::to_string(apyPort)}));
    EXPECT_EQ(Words(viaApy.port, "casa", "es", "en"), casa);
    EXPECT_EQ(Words(viaApy.port, "chat", "fr", "en"),
              (proto::WordsAnswer{"Cat", {{"n", {"cat"}}}}));
    EXPECT_TRUE(Words(viaApy.port, "casa", "es", "fr").entries.empty());
    std::filesystem::remove_all(apyRoot);

    // LibreTranslate: the translation and its alternatives, one entry without a part of
    // speech; a word without alternatives, the translation alone.
    const RunningServer libre = StartListening({FAKE_LIBRETRANSLATE_BINARY});
    const RunningServer viaLibre =
        StartListening(ServiceCommand({"--engine", "libretranslate", "--libretranslate-url",
                                       "http://127.0.0.1:" + std::to_string(libre.port)}));
    EXPECT_EQ(Words(viaLibre.port, "maison", "fr", "es"),
              (proto::WordsAnswer{"casa", {{"", {"casa", "hogar", "domicilio"}}}}));
    EXPECT_EQ(Words(viaLibre.port, "chat", "fr", "es"), (proto::WordsAnswer{"gato", {}}));

    // Another Tervane service: its own /words.
    const RunningServer other = StartListening({TERVANE_SERVICE_BINARY});
    const RunningServer viaTervane =
        StartListening(ServiceCommand({"--engine", "tervane", "--tervane-url",
                                       "http://127.0.0.1:" + std::to_string(other.port)}));
    EXPECT_EQ(Words(viaTervane.port, "casa", "es", "en"), casa);
}
