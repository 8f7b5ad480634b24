#include "translate/Languages.h"

namespace {
constexpr std::array<Language, kLanguageCount> kLanguages{{
    {"English", "EN"},       {"French", "FR"},     {"German", "DE"},     {"Spanish", "ES"},
    {"Italian", "IT"},       {"Portuguese", "PT"}, {"Dutch", "NL"},      {"Greek", "EL"},
    {"Korean", "KO"},        {"Russian", "RU"},    {"Japanese", "JA"},   {"Chinese(S)", "ZH"},
    {"Chinese(T)", "ZH-TW"}, {"Hungarian", "HU"},  {"Danish", "DA"},     {"Dutch", "NL"},
    {"Finnish", "FI"},       {"Swedish", "SV"},    {"Arabic", "AR"},     {"Catalan", "CA"},
    {"Croatian", "HR"},      {"Czech", "CS"},      {"Hebrew", "IW"},     {"Norwegian", "NO"},
    {"Afrikaans", "AF"},     {"Albanian", "SQ"},   {"Belarusian", "BE"}, {"Bulgarian", "BG"},
    {"Estonian", "ET"},      {"Filipino", "TL"},   {"Galician", "GL"},   {"Haitian", "HT"},
    {"Hindi", "HI"},         {"Icelandic", "IS"},  {"Indonesian", "ID"}, {"Irish", "GA"},
    {"Latvian", "LV"},       {"Lithuanian", "LT"}, {"Macedonian", "MK"}, {"Malay", "MS"},
    {"Maltese", "MT"},       {"Persian", "FA"},    {"Polish", "PL"},     {"Romanian", "RO"},
    {"Serbian", "SR"},       {"Slovak", "SK"},     {"Slovenian", "SL"},  {"Swahili", "SW"},
    {"Thai", "TH"},          {"Turkish", "TR"},    {"Ukrainian", "UK"},  {"Vietnamese", "VI"},
    {"Welsh", "CY"},         {"Yiddish", "YI"},
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
