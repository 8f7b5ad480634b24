// UTF-8, the one text encoding inside Tervane: the well-formedness check every text from
// outside passes (the service's requests, the program's answers) and the character steps
// that rules counting characters rather than bytes walk by.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tervane::protocol {

// True when text is well-formed UTF-8 (RFC 3629: no overlong forms, no surrogates, at most
// U+10FFFF).
bool IsValidUtf8(std::string_view text);

// True for a byte that continues a character rather than starting one.
constexpr bool IsContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The index just after the character that starts at `start` (a lead byte and its
// continuation bytes); text.size() at the end.
std::size_t NextCharacter(std::string_view text, std::size_t start);

// The index where the character holding byte `end - 1` starts; 0 at the start.
std::size_t PreviousCharacter(std::string_view text, std::size_t end);

// The text with the ASCII letters A-Z lowered; every other byte, UTF-8 included, kept.
std::string ToLowerAscii(std::string_view text);

} // namespace tervane::protocol
