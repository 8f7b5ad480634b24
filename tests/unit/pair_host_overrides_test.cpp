// The pair host's own definitions of library functions against the libraries' functions
// (found after the host's in the dynamic linker's lookup), and the host's start-up check
// that decides which serve.
#include "service/apertium/host/Replacements.h"

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

using namespace tervane::service::host;

namespace {

template <typename Function> Function Librarys(const char* mangledName) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, mangledName));
}

std::string Narrow(const UString& text) {
    return std::string(text.begin(), text.end());
}

// The host's start-up check on the installed libraries: every answer the same, so the
// host's own definitions serve; the inputs past int's range among them go to lttoolbox.
TEST(PairHostOverrides, TheStartUpCheckFindsTheHostsOwnAsTheLibrarysAndUsesThem) {
    const CheckOutcome checked = CheckReplacements();
    EXPECT_TRUE(checked.ownInUse) << checked.line;
    EXPECT_TRUE(OwnDefinitionsInUse());
    const auto lttoolbox = Librarys<int (*)(const UString&)>(
        "_ZN11StringUtils4stoiERKNSt7__cxx1112basic_stringIDsSt11char_traitsIDsESaIDsEEE");
    ASSERT_NE(lttoolbox, nullptr);
    for (const char16_t* tooLong : {u"9999999999>", u"2147483648", u"00000000012>"}) {
        std::string own, library;
        try {
            own = std::to_string(StringUtils::stoi(tooLong));
        } catch (const std::exception& e) {
            own = e.what();
        }
        try {
            library = std::to_string(lttoolbox(tooLong));
        } catch (const std::exception& e) {
            library = e.what();
        }
        EXPECT_EQ(own, library) << Narrow(tooLong);
    }
    EXPECT_EQ(StringUtils::stoi(u"5>$}"), 5);
}

// A replacement that answers one input differently, one for each function: found, named,
// and the libraries' own serve from then on.
TEST(PairHostOverrides, AWrongReplacementIsFoundAndTheLibrarysOwnServe) {
    Replacements wrongStoi = HostsOwn();
    wrongStoi.stoi = [](const UString& text) { return StringUtils::stoi(text) + (text == u"0"); };
    Replacements wrongMatch = HostsOwn();
    wrongMatch.match = [](const ApertiumRE& expression, const UString& text) {
        return text.empty() ? UString(u"?") : expression.match(text);
    };
    Replacements wrongWrite = HostsOwn();
    wrongWrite.write = [](UStringView text, UFILE* output) {
        u_file_write(text.data(), static_cast<int32_t>(text.size()), output); // past a NUL
    };
    for (const auto& [wrong, named] :
         {std::pair{wrongStoi, "StringUtils::stoi(\"0\")"},
          std::pair{wrongMatch, "ApertiumRE::match(\"<n>|<adj>\", \"\")"},
          std::pair{wrongWrite, "write(\"before?after\")"}}) {
        const CheckOutcome checked = CheckReplacements(wrong);
        EXPECT_FALSE(checked.ownInUse);
        EXPECT_NE(checked.line.find(named), std::string::npos) << checked.line;
        EXPECT_FALSE(OwnDefinitionsInUse());
        EXPECT_EQ(StringUtils::stoi(u"12>"), 12); // now lttoolbox's own
    }
    EXPECT_TRUE(CheckReplacements().ownInUse);
}

// Expressions compiled anew, destroyed and made again at the same address, matched in
// turn: each answer is Apertium's own for that expression, never a kept matcher's.
TEST(PairHostOverrides, RegexMatchAnswersAsApertiumsForEveryExpression) {
    ASSERT_TRUE(CheckReplacements().ownInUse);
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

} // namespace
