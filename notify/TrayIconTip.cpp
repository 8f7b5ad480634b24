#include "notify/TrayIconTip.h"

namespace tervane {

namespace {

// Length in bytes of the UTF-8 sequence at `pos`; an invalid or cut sequence counts as
// one byte, which the conversion at the edge turns into one replacement character.
std::size_t SequenceLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t length = lead < 0xC0   ? 1
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF8 ? 4
                                             : 1;
    if (pos + length > text.size())
        return 1;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80)
            return 1;
    return length;
}

} // namespace

std::string TrayIconTip(std::string_view hint, bool showHint) {
    if (!showHint)
        return {};
    std::size_t units = 0, pos = 0;
    while (pos < hint.size()) {
        const std::size_t length = SequenceLength(hint, pos);
        // Four-byte sequences lie outside the basic plane: a surrogate pair in UTF-16.
        const std::size_t width = length == 4 ? 2 : 1;
        if (units + width > kTrayIconTipLength)
            break;
        units += width;
        pos += length;
    }
    return std::string(hint.substr(0, pos));
}

} // namespace tervane
