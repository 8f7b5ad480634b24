#include "service/apertium/host/Replacements.h"

#include "service/apertium/host/LibrarysOwn.h"

#include <lttoolbox/string_utils.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <typeinfo>
#include <vector>

namespace tervane::service::host {
namespace {

// Unchecked and Fallen back: the libraries' own serve. Checking: the host's own, so that
// the check compares them.
enum class State { Unchecked, Checking, Own, FallenBack };
std::atomic<State> state{State::Unchecked};

std::string Narrow(UStringView text) {
    std::string narrow;
    for (const char16_t c : text)
        narrow += c >= 0x20 && c < 0x7f ? static_cast<char>(c) : '?';
    return narrow;
}

// A call's answer or its exception, so that both can be compared.
template <typename Call> std::string Outcome(Call call) {
    try {
        return "= " + call();
    } catch (const std::exception& e) {
        return std::string("threw ") + typeid(e).name() + ": " + e.what();
    } catch (...) {
        return "threw something";
    }
}

std::string StoiDifference(const Replacements& ours, const Replacements& librarys) {
    // The positions Postchunk reads, and what must go to the library: signs, spaces,
    // other scripts' digits, grouping, decimals, numbers past int's range.
    for (const char16_t* text :
         {u"2><3>$}",    u"12",         u"0",           u"007>",        u"123456789",
          u"1234567890", u"2147483647", u"2147483648>", u"9999999999>", u"99999999999>",
          u"-3",         u"+3>",        u" 4",          u"1,234>",      u"2.5>",
          u"2e3>",       u"\u0663>",    u"\uff13",      u"x",           u"",
          u">"}) {
        const UString input = text;
        const std::string own = Outcome([&] { return std::to_string(ours.stoi(input)); });
        const std::string library = Outcome([&] { return std::to_string(librarys.stoi(input)); });
        if (own != library)
            return "StringUtils::stoi(\"" + Narrow(input) + "\") " + own + ", the library's " +
                   library;
    }
    return {};
}

std::string MatchDifference(const Replacements& ours, const Replacements& librarys) {
    const std::vector<UString> texts = {u"gato<n><m><sg>", u"grande<adj><mf><pl>",     u"", u"x<n>",
                                        u"<vblex><pri>",   UString(u"a<n>\0<adj>", 10)};
    // One expression compiled anew with each pattern at the same address, as the stages'
    // expressions are read: each answer must be for the pattern of the moment.
    ApertiumRE expression;
    for (const UString pattern : {u"<n>|<adj>", u"<(sg|pl)>", u"(<[a-z]+>)+$", u"^x", u"<n>"}) {
        expression.compile(pattern);
        for (const UString& text : texts) {
            const std::string own = Outcome([&] { return Narrow(ours.match(expression, text)); });
            const std::string library =
                Outcome([&] { return Narrow(librarys.match(expression, text)); });
            if (own != library)
                return "ApertiumRE::match(\"" + Narrow(pattern) + "\", \"" + Narrow(text) + "\") " +
                       own + ", the library's " + library;
        }
    }
    return {};
}

// What a write puts out through a UTF-8 UFILE over memory, as the stages write.
std::string Written(void (*write)(UStringView, UFILE*), UStringView text) {
    char* buffer = nullptr;
    std::size_t size = 0;
    FILE* memory = ::open_memstream(&buffer, &size);
    if (memory == nullptr)
        return "no memory stream";
    UFILE* output = u_finit(memory, nullptr, "UTF-8");
    write(text, output);
    write(u"|", output);
    u_fclose(output);
    std::fclose(memory);
    std::string written(buffer, size);
    std::free(buffer);
    return written;
}

std::string WriteDifference(const Replacements& ours, const Replacements& librarys) {
    const UString withNul(u"before\0after", 12);
    const UString sentence = u"^gato<n>$ ñandú € \U0001D11E [\\^$]";
    const UString lone = u"\xd834x"; // half a surrogate pair
    for (const UStringView text :
         {UStringView(sentence), UStringView(sentence).substr(2, 7), UStringView(withNul),
          UStringView(), UStringView(u"\0", 1), UStringView(lone)}) {
        if (Written(ours.write, text) != Written(librarys.write, text))
            return "write(\"" + Narrow(text) + "\") wrote other bytes than the library's";
    }
    return {};
}

UString (*librarysMatch)(const ApertiumRE*, const UString&) = nullptr;

UString LibrarysMatch(const ApertiumRE& expression, const UString& text) {
    return librarysMatch(&expression, text);
}

UString HostsMatch(const ApertiumRE& expression, const UString& text) {
    return expression.match(text);
}

} // namespace

Replacements HostsOwn() {
    return Replacements{&StringUtils::stoi, &HostsMatch, &::write};
}

Replacements LibrarysOwnSet() {
    librarysMatch = FindLibrarysOwn<UString (*)(const ApertiumRE*, const UString&)>(kMatchName);
    return Replacements{FindLibrarysOwn<int (*)(const UString&)>(kStoiName),
                        librarysMatch ? &LibrarysMatch : nullptr,
                        FindLibrarysOwn<void (*)(UStringView, UFILE*)>(kWriteName)};
}

CheckOutcome CheckReplacements(const Replacements& candidates) {
    const Replacements librarys = LibrarysOwnSet();
    std::string difference;
    if (!librarys.stoi || !librarys.match || !librarys.write) {
        difference = std::string("the library's ") +
                     (!librarys.stoi    ? kStoiName
                      : !librarys.match ? kMatchName
                                        : kWriteName) +
                     " is missing";
    } else {
        state = State::Checking;
        difference = StoiDifference(candidates, librarys);
        if (difference.empty())
            difference = MatchDifference(candidates, librarys);
        if (difference.empty())
            difference = WriteDifference(candidates, librarys);
    }
    state = difference.empty() ? State::Own : State::FallenBack;
    if (difference.empty())
        return {true, "own definitions of StringUtils::stoi, ApertiumRE::match and write "
                      "checked against the installed libraries: in use"};
    return {false, "own definitions not used, the libraries' own serve this run: " + difference};
}

bool OwnDefinitionsInUse() {
    const State now = state.load(std::memory_order_relaxed);
    return now == State::Checking || now == State::Own;
}

} // namespace tervane::service::host
