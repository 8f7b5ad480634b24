// Every character Apertium's stream format reserves, sent through a real pair and a route of
// two, alone, doubled, at the start and end, between words and beside line and paragraph
// breaks: each comes back as itself, in normal time (a stalled stage would answer 504).
#include "ChildProcess.h"
#include "ServiceClient.h"

#include "protocol/ServiceProtocol.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace tervane::testing;
namespace proto = tervane::protocol;

TEST(StreamCharacters, ComeBackAsThemselvesThroughOneAndTwoPairs) {
    // A short time-out: a text that stalls a stage fails in seconds, not minutes.
    RunningServer server = StartListening({TERVANE_SERVICE_BINARY, "--timeout", "3"});
    const std::string specials = "^$@*/<>{}[]\\~#+|";
    for (const char* target : {"es", "en"}) {
        for (const char c : specials) {
            const std::string s(1, c);
            // Texts of signs and breaks only, which no pair translates: back exactly.
            for (const std::string& text : {s, s + s, s + "\n\n" + s + "\n", s + " " + s + " "}) {
                const Reply reply = PostTranslate(server.port, text, "fr", target);
                EXPECT_EQ(reply.status, 200) << target << " " << text << ": " << reply.reason;
                EXPECT_EQ(proto::DecodeAnswer(reply.body), text) << target << " " << text;
            }
            // Among words: the words are translated, the signs and breaks all kept.
            for (const std::string& text :
                 {s + "chat", "Bonjour " + s, "le chat" + s + "noir", "le chat " + s + s + " noir",
                  s + "\r\n\r\nle chat\r\n" + s, "le chat.\n" + s + "\n\n" + s + "chien " + s}) {
                const Reply reply = PostTranslate(server.port, text, "fr", target);
                ASSERT_EQ(reply.status, 200) << target << " " << text << ": " << reply.reason;
                const std::string answer = proto::DecodeAnswer(reply.body).value_or("");
                const auto count = [](const std::string& in, char what) {
                    return std::count(in.begin(), in.end(), what);
                };
                EXPECT_EQ(count(answer, c), count(text, c))
                    << target << " " << text << ": " << answer;
                EXPECT_EQ(count(answer, '\n'), count(text, '\n')) << target << " " << text;
            }
        }
    }
}
