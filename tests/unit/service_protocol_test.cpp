// The exchange both sides share: what the program writes and what the service answers.
#include "protocol/ServiceProtocol.h"
#include "protocol/WordsAnswer.h"
#include "translate/ServiceExchange.h"

#include <gtest/gtest.h>

#include <set>

namespace proto = tervane::protocol;

TEST(PercentEncoding, KeepsUnreservedAndEscapesEverythingElseInUpperCase) {
    EXPECT_EQ(proto::PercentEncode("AZaz09-._*"), "AZaz09-._*");
    EXPECT_EQ(proto::PercentEncode("a b"), "a+b");
    EXPECT_EQ(proto::PercentEncode("&=+%"), "%26%3D%2B%25");
    EXPECT_EQ(proto::PercentEncode("\xC3\xA9\n\"~"), "%C3%A9%0A%22%7E");
    EXPECT_EQ(proto::PercentEncode(std::string("\0", 1)), "%00");
}

TEST(RequestBody, HasTheFieldsInTheirFixedOrder) {
    EXPECT_EQ(proto::BuildRequestBody("Le chat & moi", "zh-tw", "en"),
              "text=Le+chat+%26+moi&source=zh-tw&target=en&format=text&v=1");
}

TEST(FormParsing, DecodesPlusEscapesAndKeepsRepeatedFieldsInOrder) {
    const auto form =
        proto::ParseForm("text=a+b%2Bc%e9%C3%A9&source=fr&&source=es&empty=&flag", 16);
    ASSERT_EQ(form.error, proto::FormError::None);
    ASSERT_EQ(form.fields.size(), 5u);
    EXPECT_EQ(form.fields[0].second, "a b+c\xE9\xC3\xA9");
    EXPECT_EQ(form.fields[1], (std::pair<std::string, std::string>{"source", "fr"}));
    EXPECT_EQ(form.fields[2], (std::pair<std::string, std::string>{"source", "es"}));
    EXPECT_EQ(form.fields[3].second, "");
    EXPECT_EQ(form.fields[4], (std::pair<std::string, std::string>{"flag", ""}));
    EXPECT_TRUE(proto::ParseForm("", 16).fields.empty());
}

TEST(FormParsing, RejectsEscapesCutShortOrNotHex) {
    for (const char* body :
         {"text=%", "text=%4", "text=ab%G1", "text=%%41", "te%xt=1", "a=1&b=%2"}) {
        const auto form = proto::ParseForm(body, 16);
        EXPECT_EQ(form.error, proto::FormError::BadEscape) << body;
    }
    EXPECT_EQ(proto::ParseForm("a=1&b=%2", 16).errorOffset, 4u);
    EXPECT_FALSE(proto::PercentDecode("%4").has_value());
    EXPECT_EQ(proto::PercentDecode("%41%62"), "Ab");
}

TEST(FormParsing, BoundsTheFieldCountAndNeedsNames) {
    std::string body;
    for (int i = 0; i < 17; ++i)
        body += "f" + std::to_string(i) + "=1&";
    EXPECT_EQ(proto::ParseForm(body, 16).error, proto::FormError::TooManyFields);
    EXPECT_EQ(proto::ParseForm(body, 17).error, proto::FormError::None);
    EXPECT_EQ(proto::ParseForm("=x&a=1", 16).error, proto::FormError::EmptyName);
}

TEST(FormParsing, ReadsBackWhatTheProgramWrites) {
    const std::string text = "Ligne 1\r\n\"cité\" & 100% = +x\t\xE4\xB8\xAD";
    const auto form = proto::ParseForm(proto::BuildRequestBody(text, "iw", "tl"), 16);
    ASSERT_EQ(form.error, proto::FormError::None);
    ASSERT_EQ(form.fields.size(), 5u);
    EXPECT_EQ(form.fields[0].second, text);
    EXPECT_EQ(form.fields[1].second, "iw");
    EXPECT_EQ(form.fields[2].second, "tl");
}

TEST(AnswerEncoding, EscapesLineBreaksParagraphsAndQuotesOnly) {
    EXPECT_EQ(proto::EncodeAnswer("Hallo Welt"), "\"Hallo Welt\"");
    EXPECT_EQ(proto::EncodeAnswer("a\nb"), "\"a\\r\\nb\"");
    EXPECT_EQ(proto::EncodeAnswer("a\r\nb\rc"), "\"a\\r\\nb\\r\\nc\"");
    EXPECT_EQ(proto::EncodeAnswer("a\n\nb"), "\"a\\r\\n \\r\\nb\"");
    EXPECT_EQ(proto::EncodeAnswer("a\r\n \t\r\n\r\nb"), "\"a\\r\\n \\r\\nb\"");
    EXPECT_EQ(proto::EncodeAnswer("a\n  b"), "\"a\\r\\n  b\"");
    EXPECT_EQ(proto::EncodeAnswer("say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(proto::EncodeAnswer("back\\slash\ttab \xC3\xA9"), "\"back\\slash\ttab \xC3\xA9\"");
    EXPECT_EQ(proto::EncodeAnswer(""), "\"\"");
}

TEST(AnswerEncoding, DecodesToTheSameParagraphsLinesAndQuotes) {
    const std::string text = "Un \"deux\".\n\nTrois\nquatre";
    EXPECT_EQ(proto::DecodeAnswer(proto::EncodeAnswer(text)), text);
    EXPECT_EQ(proto::DecodeAnswer("\"a\\r\\n \\r\\nb\\r\\nc\\\"\""), "a\n\nb\nc\"");
    EXPECT_FALSE(proto::DecodeAnswer("no quotes").has_value());
    EXPECT_FALSE(proto::DecodeAnswer("\"").has_value());
}

// What a user typed comes back as typed through the program's own decoder, backslash
// sequences that look like the answer's escapes included; every other answer keeps its
// bytes (the CR mark appears only where a backslash would have been misread).
TEST(AnswerEncoding, TypedBackslashSequencesSurviveTheProgramsDecoder) {
    const auto program = [](const std::string& text) {
        return tervane::CleanServiceText(tervane::DecodeServiceAnswer(proto::EncodeAnswer(text)));
    };
    for (const std::string typed :
         {"printf(\"a\\r\\n\")", "a\\r\\n \\r\\nb", "x\\r\\n?\\r\\ny", "C:\\dir\\",
          "\\\"quoted\\\"", "\\\\r\\n", "\\r\\", "\\", "plain text", "back\\slash \\n \\r"}) {
        EXPECT_EQ(program(typed), typed) << typed;
        EXPECT_EQ(proto::DecodeAnswer(proto::EncodeAnswer(typed)), typed) << typed;
    }
    // Line breaks keep the program's own rendering: a space, or a paragraph break.
    EXPECT_EQ(program("a\\\nb\\r\\n\n\nc"), "a\\ b\\r\\n\r\n\r\nc");
    EXPECT_EQ(proto::EncodeAnswer("printf(\"a\\r\\n\")"), "\"printf(\\\"a\\\rr\\n\\\")\"");
    EXPECT_EQ(proto::EncodeAnswer("a\\b \\n\\"), "\"a\\b \\n\\\r\"");
}

TEST(WordsAnswer, CarriesTheTranslationAndEntriesBothWaysWithinItsLimits) {
    const proto::WordsAnswer banco{"bank", {{"n", {"bank", "bench"}}, {"vblex", {"bank"}}}};
    EXPECT_EQ(proto::EncodeWordsAnswer(banco), "\"bank\"\nn\tbank\tbench\nvblex\tbank");
    EXPECT_EQ(proto::DecodeWordsAnswer(proto::EncodeWordsAnswer(banco)), banco);

    // A translation with its own line breaks and quotes, an engine without tags, fields with
    // separators inside, an empty translation and an entry left empty.
    const proto::WordsAnswer awkward{"a \"b\"\nc\\",
                                     {{"", {"x\ty", ""}}, {"adj", {""}}, {"n\nm", {"z"}}}};
    const auto decoded = proto::DecodeWordsAnswer(proto::EncodeWordsAnswer(awkward));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, (proto::WordsAnswer{"a \"b\"\nc\\", {{"", {"x y"}}, {"n m", {"z"}}}}));

    proto::WordsAnswer many{"w", {}};
    many.entries.assign(proto::kMaxWordEntries + 3,
                        {"n", std::vector<std::string>(proto::kMaxWordTranslations + 2, "t")});
    const auto clamped = proto::DecodeWordsAnswer(proto::EncodeWordsAnswer(many));
    ASSERT_TRUE(clamped);
    EXPECT_EQ(clamped->entries.size(), proto::kMaxWordEntries);
    EXPECT_EQ(clamped->entries.back().translations.size(), proto::kMaxWordTranslations);

    for (const char* broken : {"bank", "\"bank\"\nn", "\"bank\"\nn\t", "\"bank\"\nn\ta\t\tb"}) {
        EXPECT_FALSE(proto::DecodeWordsAnswer(broken)) << broken;
    }
}

TEST(WordsAnswer, AsksOnlyForOneWord) {
    for (const char* word : {"banco", "  chat\n", "\xC3\xA9t\xC3\xA9", "l'eau", "e-mail",
                             "\xE3\x80\x80\xE7\x8C\xAB\xC2\xA0", "R2-D2"}) {
        EXPECT_TRUE(proto::IsSingleWord(word)) << word;
    }
    for (const char* notWord : {"", " \t", "le chat",
                                "un\xC2\xA0"
                                "chat",
                                "42", "...", "a\nb", "\xC3\x28"}) {
        EXPECT_FALSE(proto::IsSingleWord(notWord)) << notWord;
    }
    EXPECT_TRUE(proto::IsSingleWord(std::string(proto::kMaxWordLength, 'a')));
    EXPECT_FALSE(proto::IsSingleWord(std::string(proto::kMaxWordLength + 1, 'a')));
}
