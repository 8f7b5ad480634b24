// lttoolbox's StringUtils::stoi, as the pair host links it: the same results, without ICU's
// scanf for the numbers the stages really parse.
//
// Postchunk reads a chunk's word positions (the "1" of "<1>") through StringUtils::stoi,
// which calls u_sscanf("%d"). Each call builds an ICU number parser for the locale: about a
// tenth of a millisecond per call, ten calls in a short sentence's postchunk, a fifth of a
// French-to-Spanish request's work. The host defines the function itself, so the
// libraries' calls to it come here (the executable's definition comes first in the dynamic
// linker's lookup). One to nine ASCII digits, alone or before a '>', are read here, which
// is what u_sscanf gives for them; anything else (signs, spaces, other scripts' digits,
// grouping, decimals, long numbers, errors) goes to lttoolbox's own function, so behaviour
// is unchanged.
#include "service/apertium/host/LibrarysOwn.h"

#include <lttoolbox/string_utils.h>

int StringUtils::stoi(const UString& str) {
    // u_sscanf("%d") reads the number at the start and ignores the rest: Postchunk passes
    // the rest of a chunk from a position on ("2><3>$}"). A '>' cannot continue a number in
    // any locale's format, so digits up to one (or to the end) are the whole number.
    int value = 0;
    std::size_t digits = 0;
    for (; digits < str.size() && digits < 10 && str[digits] >= u'0' && str[digits] <= u'9';
         ++digits)
        value = value * 10 + (str[digits] - u'0');
    const bool plain = digits > 0 && digits <= 9 && (digits == str.size() || str[digits] == u'>');
    if (plain)
        return value;
    static const auto lttoolboxs = tervane::service::host::LibrarysOwn<int (*)(const UString&)>(
        "_ZN11StringUtils4stoiERKNSt7__cxx1112basic_stringIDsSt11char_traitsIDsESaIDsEEE");
    return lttoolboxs(str);
}
