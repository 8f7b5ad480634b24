#include "hotkeys/HotKeyRules.h"

#include "hotkeys/HotKeyCodec.h"

namespace tervane {

namespace {

// Virtual-key codes, as the system numbers them.
constexpr std::uint32_t kBackspace = 0x08;
constexpr std::uint32_t kTab = 0x09;
constexpr std::uint32_t kEnter = 0x0D;
constexpr std::uint32_t kSpace = 0x20;
// The numeric pad: digits 0x60-0x69, then *, +, the separator, -, the decimal sign and /.
constexpr std::uint32_t kFirstPadKey = 0x60;
constexpr std::uint32_t kLastPadKey = 0x6F;
// The punctuation keys, whose characters each layout chooses: ; = , - . / ` (0xBA-0xC0),
// [ \ ] ' and the eighth key (0xDB-0xDF), and the key beside the left Shift (0xE2).
constexpr std::uint32_t kFirstPunctuation = 0xBA;
constexpr std::uint32_t kLastPunctuation = 0xC0;
constexpr std::uint32_t kFirstBracket = 0xDB;
constexpr std::uint32_t kLastBracket = 0xDF;
constexpr std::uint32_t kKeyBesideShift = 0xE2;

bool IsTypingKey(std::uint32_t key) {
    return key == kBackspace || key == kTab || key == kEnter || key == kSpace ||
           (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') ||
           (key >= kFirstPadKey && key <= kLastPadKey) ||
           (key >= kFirstPunctuation && key <= kLastPunctuation) ||
           (key >= kFirstBracket && key <= kLastBracket) || key == kKeyBesideShift;
}

} // namespace

bool TakesTypingKey(std::uint32_t hotKey) {
    if (hotKey & (kHotKeyCtrl | kHotKeyAlt | kHotKeyWin))
        return false;
    return IsTypingKey(hotKey & kHotKeyKeyMask);
}

std::string TypingKeyWarning(const std::string& text) {
    return text + " can't be a hotkey: that key would no longer type in any program. A hotkey "
                  "needs Ctrl, Alt or Win.";
}

} // namespace tervane
