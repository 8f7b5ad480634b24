#include "protocol/Languages.h"

namespace tervane::protocol {

namespace {
constexpr std::array<Language, kLanguageCount> kLanguages{{
    {"English", "EN", "en"},
    {"French", "FR", "fr"},
    {"German", "DE", "de"},
    {"Spanish", "ES", "es"},
    {"Italian", "IT", "it"},
    {"Portuguese", "PT", "pt"},
    {"Dutch", "NL", "nl"},
    {"Greek", "EL", "el"},
    {"Korean", "KO", "ko"},
    {"Russian", "RU", "ru"},
    {"Japanese", "JA", "ja"},
    {"Chinese(S)", "ZH", "zh"},
    {"Chinese(T)", "ZH-TW", "zh-tw"},
    {"Hungarian", "HU", "hu"},
    {"Danish", "DA", "da"},
    {"Dutch", "NL", "nl"},
    {"Finnish", "FI", "fi"},
    {"Swedish", "SV", "sv"},
    {"Arabic", "AR", "ar"},
    {"Catalan", "CA", "ca"},
    {"Croatian", "HR", "hr"},
    {"Czech", "CS", "cs"},
    {"Hebrew", "IW", "iw"},
    {"Norwegian", "NO", "no"},
    {"Afrikaans", "AF", "af"},
    {"Albanian", "SQ", "sq"},
    {"Belarusian", "BE", "be"},
    {"Bulgarian", "BG", "bg"},
    {"Estonian", "ET", "et"},
    {"Filipino", "TL", "tl"},
    {"Galician", "GL", "gl"},
    {"Haitian", "HT", "ht"},
    {"Hindi", "HI", "hi"},
    {"Icelandic", "IS", "is"},
    {"Indonesian", "ID", "id"},
    {"Irish", "GA", "ga"},
    {"Latvian", "LV", "lv"},
    {"Lithuanian", "LT", "lt"},
    {"Macedonian", "MK", "mk"},
    {"Malay", "MS", "ms"},
    {"Maltese", "MT", "mt"},
    {"Persian", "FA", "fa"},
    {"Polish", "PL", "pl"},
    {"Romanian", "RO", "ro"},
    {"Serbian", "SR", "sr"},
    {"Slovak", "SK", "sk"},
    {"Slovenian", "SL", "sl"},
    {"Swahili", "SW", "sw"},
    {"Thai", "TH", "th"},
    {"Turkish", "TR", "tr"},
    {"Ukrainian", "UK", "uk"},
    {"Vietnamese", "VI", "vi"},
    {"Welsh", "CY", "cy"},
    {"Yiddish", "YI", "yi"},
}};
} // namespace

const std::array<Language, kLanguageCount>& LanguageTable() {
    return kLanguages;
}

std::optional<std::string_view> LanguageCodeAt(int position) {
    if (position < 0 || position >= kLanguageCount)
        return std::nullopt;
    return kLanguages[static_cast<size_t>(position)].code;
}

const Language* FindLanguage(std::string_view serviceCode) {
    for (const Language& language : kLanguages) {
        if (language.serviceCode == serviceCode)
            return &language;
    }
    return nullptr;
}

} // namespace tervane::protocol
