// lttoolbox's write(UStringView, UFILE*), as the pair host links it: the same characters
// written, without parsing a format for each word.
//
// Every stage writes its output a piece at a time through this function, which was
// u_fprintf(output, "%.*S", size, data): ICU parses the format on each call, a twentieth of
// a request. "%.*S" writes the text up to its first NUL, at most `size` characters, through
// the UFILE's converter; u_file_write does the same without the format. As with
// PlainIntegers.cpp, the host's definition comes first in the dynamic linker's lookup. A
// text longer than u_file_write takes (INT_MAX characters) goes to lttoolbox's own, as does
// every write when the start-up check (Replacements.h) found a difference.
#include "service/apertium/host/LibrarysOwn.h"
#include "service/apertium/host/Replacements.h"

#include <lttoolbox/ustring.h>
#include <unicode/ustdio.h>

#include <climits>

void write(UStringView str, UFILE* output) {
    using namespace tervane::service::host;
    if (OwnDefinitionsInUse() && str.size() <= static_cast<std::size_t>(INT_MAX)) {
        std::size_t length = 0;
        while (length < str.size() && str[length] != u'\0')
            ++length;
        u_file_write(str.data(), static_cast<int32_t>(length), output);
        return;
    }
    static const auto lttoolboxs = LibrarysOwn<void (*)(UStringView, UFILE*)>(kWriteName);
    lttoolboxs(str, output);
}
