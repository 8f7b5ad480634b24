// The pair host's StringUtils::stoi against lttoolbox's own, on what Postchunk passes it and
// on everything the fast path must leave to lttoolbox.
#include <lttoolbox/string_utils.h>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <optional>

namespace {

using Stoi = int (*)(const UString&);

std::optional<int> Parse(Stoi stoi, const UString& text) {
    try {
        return stoi(text);
    } catch (...) {
        return std::nullopt;
    }
}

TEST(PairHostIntegers, ReadEveryStringAsLttoolboxDoes) {
    const auto lttoolbox = reinterpret_cast<Stoi>(::dlsym(
        RTLD_NEXT, "_ZN11StringUtils4stoiERKNSt7__cxx1112basic_stringIDsSt11char_traitsIDsESaIDsEEE"));
    ASSERT_NE(lttoolbox, nullptr);
    for (const char16_t* raw :
         {u"2><3>$}", u"2><3>$ ^gato<n><2><3>$}", u"12", u"0", u"007>", u"123456789",
          u"1234567890", u"2147483647", u"99999999999>", u"-3", u"+3>", u" 4", u"1,234>",
          u"2.5>", u"2e3>", u"\u0663>", u"\uff13", u"x", u"", u">"}) {
        const UString text = raw;
        SCOPED_TRACE(std::string(text.begin(), text.end()));
        EXPECT_EQ(Parse(&StringUtils::stoi, text), Parse(lttoolbox, text));
    }
    EXPECT_EQ(StringUtils::stoi(u"5>$}"), 5);
}

} // namespace
