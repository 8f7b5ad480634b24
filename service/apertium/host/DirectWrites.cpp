// lttoolbox's write(UStringView, UFILE*), as the pair host links it: the same characters
// written, without parsing a format for each word.
//
// Every stage writes its output a piece at a time through this function, which was
// u_fprintf(output, "%.*S", size, data): ICU parses the format on each call, a twentieth of
// a request. "%.*S" writes the text up to its first NUL, at most `size` characters, through
// the UFILE's converter; u_file_write does the same without the format. As with
// PlainIntegers.cpp, the host's definition comes first in the dynamic linker's lookup.
#include <lttoolbox/ustring.h>
#include <unicode/ustdio.h>

#include <climits>

void write(UStringView str, UFILE* output) {
    std::size_t length = 0;
    while (length < str.size() && length < INT_MAX && str[length] != u'\0')
        ++length;
    u_file_write(str.data(), static_cast<int32_t>(length), output);
}
