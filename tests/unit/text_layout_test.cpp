// Wrapping a translation for the balloon.
#include "app/TextLayout.h"

#include <gtest/gtest.h>

using namespace tervane;

namespace {

using Lines = std::vector<std::string>;

TEST(WrapWords, WrapsAtTheWidthKeepingEachWordsSpace) {
    EXPECT_EQ(WrapWords("", 60), Lines{" "});
    EXPECT_EQ(WrapWords("The cat is black.", 60), Lines{"The cat is black. "});
    // 60 characters fit exactly; the 61st starts a new line.
    const std::string word59(59, 'a');
    EXPECT_EQ(WrapWords(word59 + " b", 60), (Lines{word59 + " ", "b "}));
    EXPECT_EQ(WrapWords("ab cd ef", 6), (Lines{"ab cd ", "ef "}));
    // A word longer than the width stands alone; first, it leaves the first line empty.
    const std::string word61(61, 'x');
    EXPECT_EQ(WrapWords(word61, 60), (Lines{"", word61 + " "}));
    EXPECT_EQ(WrapWords("a " + word61 + " b", 60), (Lines{"a ", word61 + " ", "b "}));
    // Two spaces make a word of one space; a line break belongs to its word.
    EXPECT_EQ(WrapWords("a  b", 60), Lines{"a  b "});
    EXPECT_EQ(WrapWords("one\r\ntwo three", 9), (Lines{"one\r\ntwo ", "three "}));
    // Letters, not bytes: two words of 30 two-byte letters and their spaces fill 62.
    std::string cyrillic;
    for (int i = 0; i < 30; ++i)
        cyrillic += "\xD0\xB4";
    EXPECT_EQ(WrapWords(cyrillic + " " + cyrillic, 62), Lines{cyrillic + " " + cyrillic + " "});
}

} // namespace
