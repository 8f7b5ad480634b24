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
// grouping, decimals, numbers of ten digits or more, which may lie past int's range,
// errors) goes to lttoolbox's own function, so behaviour is unchanged. So does every call
// when the start-up check (Replacements.h) found a difference.
#include "service/apertium/host/LibrarysOwn.h"
#include "service/apertium/host/Replacements.h"

#include <lttoolbox/string_utils.h>

int StringUtils::stoi(const UString& str) {
    using namespace tervane::service::host;
    if (OwnDefinitionsInUse()) {
        // u_sscanf("%d") reads the number at the start and ignores the rest: Postchunk
        // passes the rest of a chunk from a position on ("2><3>$}"). A '>' cannot continue a
        // number in any locale's format, so digits up to one (or to the end) are the whole
        // number. Nine digits at most fit int whatever they are.
        constexpr std::size_t kMostDigits = 9;
        int value = 0;
        std::size_t digits = 0;
        for (; digits < str.size() && digits < kMostDigits && str[digits] >= u'0' &&
               str[digits] <= u'9';
             ++digits)
            value = value * 10 + (str[digits] - u'0');
        if (digits > 0 && (digits == str.size() || str[digits] == u'>'))
            return value;
    }
    static const auto lttoolboxs = LibrarysOwn<int (*)(const UString&)>(kStoiName);
    return lttoolboxs(str);
}
