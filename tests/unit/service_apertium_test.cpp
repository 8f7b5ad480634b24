// Reading Apertium's modes into argument vectors, and text in and out of its stream format.
#include "service/apertium/ApertiumMode.h"
#include "service/apertium/ApertiumText.h"

#include <gtest/gtest.h>

using namespace tervane::service;

TEST(ModeNames, NameAPairOrNothing) {
    const auto pair = ParseModeName("eng-cat_valencia");
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair->source, "eng");
    EXPECT_EQ(pair->target, "cat_valencia");
    for (const char* name :
         {"eco-fr-es", "fr-es-debug", "fres", "-es", "fr-", "fr-e s", "fr-../x"}) {
        EXPECT_FALSE(ParseModeName(name)) << name;
    }
}

TEST(ModeCommands, SplitIntoArgumentVectorsWithNullFlush) {
    const auto parse = ParseModeCommands(
        "lt-proc '/usr/share/a b/fr-es.automorf.bin' | apertium-tagger -g $2 '/x/fr-es.prob' | "
        "apertium-pretransfer | lt-proc $1 \"/x/gen.bin\" | lt-proc -z -p /x/pgen.bin | cat\n");
    ASSERT_TRUE(parse.Ok()) << parse.Failure().reason;
    const std::vector<Command> expected = {{"lt-proc", "-z", "/usr/share/a b/fr-es.automorf.bin"},
                                           {"apertium-tagger", "-z", "-g", "/x/fr-es.prob"},
                                           {"apertium-pretransfer", "-z"},
                                           {"lt-proc", "-z", "-n", "/x/gen.bin"},
                                           {"lt-proc", "-z", "-p", "/x/pgen.bin"},
                                           {"cat"}};
    EXPECT_EQ(parse.Value(), expected);
}

TEST(ModeCommands, RefuseWhatOnlyAShellCouldRun) {
    for (const char* text :
         {"lt-proc x; rm -rf /", "lt-proc $(cat f)", "lt-proc `id`", "lt-proc x > out",
          "lt-proc < in", "a && b", "lt-proc 'open", "lt-proc \"$HOME\"", "lt-proc $HOME", "a || b",
          "| a", "a |", "", "lt-proc *.bin"}) {
        const auto parse = ParseModeCommands(text);
        ASSERT_FALSE(parse.Ok()) << text;
        EXPECT_FALSE(parse.Failure().reason.empty()) << text;
    }
}

TEST(ModeScan, ReadsTheInstalledPairs) {
    const ModeScan scan = ScanModes("/usr/share/apertium/modes");
    bool haveFrEs = false;
    for (const auto& mode : scan.modes) {
        if (mode.name == "fr-es") {
            haveFrEs = true;
            EXPECT_EQ(mode.commands.front().front(), "lt-proc");
        }
        EXPECT_NE(mode.name, "eco-fr-es");
    }
    EXPECT_TRUE(haveFrEs);
    const ModeScan missing = ScanModes("/nonexistent/dir");
    EXPECT_TRUE(missing.modes.empty());
    EXPECT_EQ(missing.skipped.size(), 1u); // the directory itself, and why
}

// The stream is the text formatter's (apertium-destxt): checked against it on these texts.
TEST(StreamFormat, IsTheTextFormattersStream) {
    EXPECT_EQ(ToApertiumStream("Le chat."), "Le chat..[]");
    EXPECT_EQ(ToApertiumStream("le r\xC3\xA9pertoire courant"), "le r\xC3\xA9pertoire courant.[]");
    EXPECT_EQ(ToApertiumStream("a\nb\tc  d"), "a[\n]b[\t]c[  ]d.[]");
    EXPECT_EQ(ToApertiumStream("a\n\nb\r\n\r\nc\r\n \r\nd"),
              "a.[][\n\n]b.[][\r\n\r\n]c[\r\n \r\n]d.[]");
    EXPECT_EQ(ToApertiumStream(" a \n"), " a.[][ \n]");
    EXPECT_EQ(ToApertiumStream("\n\na "), ".[][\n\n]a.[] ");
    EXPECT_EQ(ToApertiumStream("x~y ~ z~"), "x[~]y[ ~ ]z.[][~]");
    EXPECT_EQ(ToApertiumStream("^x$ [y] {z} <w> a/b @c \\d"),
              "\\^x\\$ \\[y\\] \\{z\\} \\<w\\> a\\/b \\@c \\\\d.[]");
}

TEST(StreamFormat, ComesBackAsTheTextItWas) {
    EXPECT_EQ(FromApertiumStream("El gato..[]"), "El gato.");
    EXPECT_EQ(FromApertiumStream("a.[][\n\n]b\\.[]"), "a\n\nb.");
    for (const std::string text :
         {"Le \"chat\".\r\n\r\nDeux [x] ^y$ \\ @z #t *u ~v", "  leading and trailing  ",
          "\xC3\xA9t\xC3\xA9", ".", "..", "\n\n", "~", "a.\n\nb.\n\n", "[]", ".[]"}) {
        EXPECT_EQ(FromApertiumStream(ToApertiumStream(text)), text);
    }
}

TEST(StreamFormat, RemovesUnknownWordMarksButNotTheUsersOwn) {
    EXPECT_EQ(RemoveUnknownWordMarks("El *xyzzy y #tag @foo", "Le xyzzy et tag foo"),
              "El xyzzy y tag foo");
    EXPECT_EQ(RemoveUnknownWordMarks("Envia #tag a *todos*", "Envoie #tag à *tous*"),
              "Envia #tag a *todos*");
    EXPECT_EQ(RemoveUnknownWordMarks("5 * 3", "5 fois 3"), "5 * 3"); // a lone sign is no mark
}
