#include "protocol/Utf8.h"

#include <gtest/gtest.h>

using namespace tervane::protocol;

TEST(Utf8, AcceptsWellFormedAndRefusesOverlongSurrogatesAndTruncation) {
    EXPECT_TRUE(IsValidUtf8("plain \xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80"));
    EXPECT_TRUE(IsValidUtf8(""));
    for (const char* bad : {"\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                            "\xFF", "\x80", "a\xE4\xB8"}) {
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    }
}

TEST(Utf8, StepsByWholeCharacters) {
    const std::string_view text = "a\xC3\xA9\xF0\x9F\x98\x80z"; // a, é, an emoji, z
    EXPECT_EQ(NextCharacter(text, 0), 1u);
    EXPECT_EQ(NextCharacter(text, 1), 3u);
    EXPECT_EQ(NextCharacter(text, 3), 7u);
    EXPECT_EQ(NextCharacter(text, 7), 8u);
    EXPECT_EQ(PreviousCharacter(text, 8), 7u);
    EXPECT_EQ(PreviousCharacter(text, 7), 3u);
    EXPECT_EQ(PreviousCharacter(text, 3), 1u);
    EXPECT_EQ(PreviousCharacter(text, 0), 0u);
    EXPECT_EQ(NextCharacter("\xC3", 0), 1u) << "a cut character ends at the text's end";
}
