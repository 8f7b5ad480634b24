// Apertium's ApertiumRE::match, as the pair host links it: the same results, with one ICU
// matcher kept per expression instead of one made and destroyed per call.
//
// The transfer stages match a word's tags against the rules' attribute expressions a few
// hundred times per sentence; making each call's RegexMatcher (and growing its
// backtracking stack) was a third of the matching and a twelfth of a French-to-Spanish
// request. As with StringUtils::stoi (PlainIntegers.cpp), the host's definitions come
// first in the dynamic linker's lookup. An expression's matcher is dropped when the
// expression is compiled or read anew or destroyed (those functions are replaced too, and
// then call Apertium's own), and is checked against the expression's pattern on each use.
// Anything unusual (no pattern, an ICU error) goes to Apertium's own match, which reports
// it as it always has; so does every match when the start-up check (Replacements.h) found
// a difference.
#include "service/apertium/host/LibrarysOwn.h"
#include "service/apertium/host/Replacements.h"

#include <apertium/apertium_re.h>

#include <memory>
#include <mutex>
#include <type_traits>
#include <unordered_map>

namespace {

using tervane::service::host::LibrarysOwn;

// The destructor below runs Apertium's own destructor on `this` and then ends as an empty
// destructor of its own. That is sound only while the class is what Apertium's header shows:
// one pointer, whose own end does nothing, and no base or virtual table.
static_assert(std::is_standard_layout_v<ApertiumRE>, "ApertiumRE is no longer standard layout");
static_assert(!std::is_polymorphic_v<ApertiumRE>, "ApertiumRE has virtual functions now");
static_assert(sizeof(ApertiumRE) == sizeof(icu::RegexPattern*),
              "ApertiumRE holds more than its pattern pointer now");

struct Matcher {
    const icu::RegexPattern* pattern = nullptr;
    std::unique_ptr<icu::RegexMatcher> matcher;
};

// The stages load on threads of their own, so expressions are read and dropped
// concurrently; matching itself happens one request at a time.
struct KeptMatchers {
    std::mutex lock;
    std::unordered_map<const ApertiumRE*, Matcher> byExpression;
};

// Never destroyed: static expressions are destroyed at exit after this file's statics.
KeptMatchers& Kept() {
    static auto* kept = new KeptMatchers;
    return *kept;
}

void Forget(const ApertiumRE* expression) {
    const std::lock_guard<std::mutex> guard(Kept().lock);
    Kept().byExpression.erase(expression);
}

} // namespace

ApertiumRE::~ApertiumRE() {
    Forget(this);
    static const auto apertiums = LibrarysOwn<void (*)(ApertiumRE*)>("_ZN10ApertiumRED1Ev");
    apertiums(this);
}

void ApertiumRE::read(FILE* input) {
    Forget(this);
    static const auto apertiums =
        LibrarysOwn<void (*)(ApertiumRE*, FILE*)>("_ZN10ApertiumRE4readEP8_IO_FILE");
    apertiums(this, input);
}

void ApertiumRE::compile(UString const& str) {
    Forget(this);
    static const auto apertiums = LibrarysOwn<void (*)(ApertiumRE*, UString const&)>(
        "_ZN10ApertiumRE7compileERKNSt7__cxx1112basic_stringIDsSt11char_traitsIDsESaIDsEEE");
    apertiums(this, str);
}

UString ApertiumRE::match(UString const& str) const {
    static const auto apertiums = LibrarysOwn<UString (*)(const ApertiumRE*, UString const&)>(
        tervane::service::host::kMatchName);
    // The matcher keeps a reference to its text: it is given this one when a call ends.
    static const icu::UnicodeString nothing;
    if (re == nullptr || !tervane::service::host::OwnDefinitionsInUse())
        return apertiums(this, str);
    const std::lock_guard<std::mutex> guard(Kept().lock);
    Matcher& cached = Kept().byExpression[this];
    UErrorCode error = U_ZERO_ERROR;
    if (cached.pattern != re || !cached.matcher) {
        cached.matcher.reset(re->matcher(error));
        cached.pattern = re;
        if (U_FAILURE(error) || !cached.matcher) {
            Kept().byExpression.erase(this);
            return apertiums(this, str);
        }
    }
    // As Apertium's: the text up to its first NUL.
    const icu::UnicodeString text(str.c_str());
    icu::RegexMatcher& matcher = *cached.matcher;
    matcher.reset(text);
    UString found;
    if (matcher.find()) {
        icu::UnicodeString group = matcher.group(error);
        const char16_t* buffer = group.getTerminatedBuffer();
        if (U_FAILURE(error) || buffer == nullptr) {
            matcher.reset(nothing);
            return apertiums(this, str);
        }
        found = buffer;
    }
    matcher.reset(nothing);
    return found;
}
