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
// it as it always has.
#include <apertium/apertium_re.h>

#include <dlfcn.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

template <typename Function> Function Apertiums(const char* mangledName) {
    void* found = ::dlsym(RTLD_NEXT, mangledName);
    if (found == nullptr) {
        std::cerr << "tervane-pair-host: Apertium's " << mangledName << " is missing\n";
        std::abort();
    }
    return reinterpret_cast<Function>(found);
}

// The mangled names of the functions this file replaces, for Apertium's own.
constexpr const char* kUString = "RKNSt7__cxx1112basic_stringIDsSt11char_traitsIDsESaIDsEEE";
const std::string kMatch = std::string("_ZNK10ApertiumRE5matchE") + kUString;
const std::string kCompile = std::string("_ZN10ApertiumRE7compileE") + kUString;
constexpr const char* kRead = "_ZN10ApertiumRE4readEP8_IO_FILE";
constexpr const char* kDestroy = "_ZN10ApertiumRED1Ev";

struct Matcher {
    const icu::RegexPattern* pattern = nullptr;
    std::unique_ptr<icu::RegexMatcher> matcher;
};

// The stages load on threads of their own, so expressions are read and dropped
// concurrently; matching itself happens one request at a time.
std::mutex& MatchersLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

// Never destroyed: static expressions are destroyed at exit after this file's statics.
std::unordered_map<const ApertiumRE*, Matcher>& Matchers() {
    static auto* matchers = new std::unordered_map<const ApertiumRE*, Matcher>;
    return *matchers;
}

void Forget(const ApertiumRE* expression) {
    const std::lock_guard<std::mutex> guard(MatchersLock());
    Matchers().erase(expression);
}

} // namespace

ApertiumRE::~ApertiumRE() {
    Forget(this);
    static const auto apertiums = Apertiums<void (*)(ApertiumRE*)>(kDestroy);
    apertiums(this);
}

void ApertiumRE::read(FILE* input) {
    Forget(this);
    static const auto apertiums = Apertiums<void (*)(ApertiumRE*, FILE*)>(kRead);
    apertiums(this, input);
}

void ApertiumRE::compile(UString const& str) {
    Forget(this);
    static const auto apertiums =
        Apertiums<void (*)(ApertiumRE*, UString const&)>(kCompile.c_str());
    apertiums(this, str);
}

UString ApertiumRE::match(UString const& str) const {
    static const auto apertiums =
        Apertiums<UString (*)(const ApertiumRE*, UString const&)>(kMatch.c_str());
    // The matcher keeps a reference to its text: it is given this one when a call ends.
    static const icu::UnicodeString nothing;
    if (re == nullptr)
        return apertiums(this, str);
    const std::lock_guard<std::mutex> guard(MatchersLock());
    Matcher& cached = Matchers()[this];
    UErrorCode error = U_ZERO_ERROR;
    if (cached.pattern != re || !cached.matcher) {
        cached.matcher.reset(re->matcher(error));
        cached.pattern = re;
        if (U_FAILURE(error) || !cached.matcher) {
            Matchers().erase(this);
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
