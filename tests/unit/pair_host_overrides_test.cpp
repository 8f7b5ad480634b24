// The pair host's own definitions of library functions against the libraries' functions
// (found after the host's in the dynamic linker's lookup).
#include <apertium/apertium_re.h>
#include <lttoolbox/string_utils.h>

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unicode/ustdio.h>

#include <cstdio>
#include <cstdlib>

#include <memory>
#include <optional>
#include <vector>

namespace {

template <typename Function> Function Librarys(const char* mangledName) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, mangledName));
}

std::string Narrow(const UString& text) {
    return std::string(text.begin(), text.end());
}

TEST(PairHostOverrides, StoiReadsEveryStringAsLttoolboxDoes) {
    using Stoi = int (*)(const UString&);
    const auto lttoolbox = Librarys<Stoi>(
        "_ZN11StringUtils4stoiERKNSt7__cxx1112basic_stringIDsSt11char_traitsIDsESaIDsEEE");
    ASSERT_NE(lttoolbox, nullptr);
    const auto parse = [](Stoi stoi, const UString& text) -> std::optional<int> {
        try {
            return stoi(text);
        } catch (...) {
            return std::nullopt;
        }
    };
    for (const char16_t* raw : {u"2><3>$}",
                                u"2><3>$ ^gato<n><2><3>$}",
                                u"12",
                                u"0",
                                u"007>",
                                u"123456789",
                                u"1234567890",
                                u"2147483647",
                                u"99999999999>",
                                u"-3",
                                u"+3>",
                                u" 4",
                                u"1,234>",
                                u"2.5>",
                                u"2e3>",
                                u"\u0663>",
                                u"\uff13",
                                u"x",
                                u"",
                                u">"}) {
        const UString text = raw;
        SCOPED_TRACE(Narrow(text));
        EXPECT_EQ(parse(&StringUtils::stoi, text), parse(lttoolbox, text));
    }
    EXPECT_EQ(StringUtils::stoi(u"5>$}"), 5);
}

// Expressions compiled anew, destroyed and made again at the same address, matched in
// turn: each answer is Apertium's own for that expression, never a kept matcher's.
TEST(PairHostOverrides, RegexMatchAnswersAsApertiumsForEveryExpression) {
    using Match = UString (*)(const ApertiumRE*, UString const&);
    const auto apertiums = Librarys<Match>(
        "_ZNK10ApertiumRE5matchERKNSt7__cxx1112basic_stringIDsSt11char_traitsIDsESaIDsEEE");
    ASSERT_NE(apertiums, nullptr);
    const std::vector<UString> patterns = {u"<n>|<adj>", u"<(sg|pl)>", u"(<[a-z]+>)+$", u"^x"};
    const std::vector<UString> texts = {u"gato<n><m><sg>", u"grande<adj><mf><pl>", u"", u"x<n>",
                                        u"<vblex><pri>"};
    const auto same = [&](const ApertiumRE& expression, const UString& pattern) {
        for (const UString& text : texts) {
            SCOPED_TRACE(Narrow(pattern) + " on " + Narrow(text));
            EXPECT_EQ(Narrow(expression.match(text)), Narrow(apertiums(&expression, text)));
        }
    };
    ApertiumRE unset;
    same(unset, u"(none)");
    ApertiumRE reused;
    for (int round = 0; round < 2; ++round) {
        for (const UString& pattern : patterns) {
            reused.compile(pattern);
            same(reused, pattern);
            auto fresh = std::make_unique<ApertiumRE>();
            fresh->compile(pattern);
            same(*fresh, pattern);
        }
    }
    EXPECT_EQ(Narrow(reused.match(u"a<n>")), "");
    reused.compile(u"<n>");
    EXPECT_EQ(Narrow(reused.match(u"a<n>")), "<n>");
}

// What each write puts out, through a UTF-8 UFILE over memory as the host's stages write.
std::string Written(void (*write)(UStringView, UFILE*), UStringView text) {
    char* buffer = nullptr;
    std::size_t size = 0;
    FILE* memory = ::open_memstream(&buffer, &size);
    UFILE* output = u_finit(memory, nullptr, "UTF-8");
    write(text, output);
    write(u"|", output);
    u_fclose(output);
    std::fclose(memory);
    std::string written(buffer, size);
    std::free(buffer);
    return written;
}

TEST(PairHostOverrides, WriteWritesWhatLttoolboxWrites) {
    const auto lttoolbox = Librarys<void (*)(UStringView, UFILE*)>(
        "_Z5writeSt17basic_string_viewIDsSt11char_traitsIDsEEP5UFILE");
    ASSERT_NE(lttoolbox, nullptr);
    const UString withNul(u"before\0after", 12);
    const UString sentence = u"^gato<n>$ ñandú € \U0001D11E [\\^$]";
    for (const UStringView text :
         {UStringView(sentence), UStringView(sentence).substr(2, 7), UStringView(withNul),
          UStringView(), UStringView(u"\0", 1), UStringView(u"\xd834x")}) {
        SCOPED_TRACE(Narrow(UString(text)));
        EXPECT_EQ(Written(&write, text), Written(lttoolbox, text));
    }
    EXPECT_EQ(Written(&write, UStringView(withNul)), "before|");
}

} // namespace
