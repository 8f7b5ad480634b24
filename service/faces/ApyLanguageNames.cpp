#include "service/faces/ApyLanguageNames.h"

#include "service/faces/ApyCodes.h"

#include <algorithm>

namespace tervane::service {

const std::vector<std::pair<std::string_view, std::string_view>>& ApyLanguageNames() {
    static const std::vector<std::pair<std::string_view, std::string_view>> names = {
        {"af", "Afrikaans"},  {"an", "Aragonese"},
        {"ar", "Arabic"},     {"ast", "Asturian"},
        {"be", "Belarusian"}, {"bg", "Bulgarian"},
        {"br", "Breton"},     {"ca", "Catalan"},
        {"cs", "Czech"},      {"cy", "Welsh"},
        {"da", "Danish"},     {"de", "German"},
        {"el", "Greek"},      {"en", "English"},
        {"eo", "Esperanto"},  {"es", "Spanish"},
        {"et", "Estonian"},   {"eu", "Basque"},
        {"fa", "Persian"},    {"fi", "Finnish"},
        {"fr", "French"},     {"frp", "Arpitan"},
        {"ga", "Irish"},      {"gl", "Galician"},
        {"he", "Hebrew"},     {"hi", "Hindi"},
        {"hr", "Croatian"},   {"ht", "Haitian"},
        {"hu", "Hungarian"},  {"id", "Indonesian"},
        {"is", "Icelandic"},  {"it", "Italian"},
        {"ja", "Japanese"},   {"ko", "Korean"},
        {"lt", "Lithuanian"}, {"lv", "Latvian"},
        {"mk", "Macedonian"}, {"ms", "Malay"},
        {"mt", "Maltese"},    {"nb", "Norwegian Bokmål"},
        {"nl", "Dutch"},      {"nn", "Norwegian Nynorsk"},
        {"no", "Norwegian"},  {"oc", "Occitan"},
        {"pl", "Polish"},     {"pt", "Portuguese"},
        {"ro", "Romanian"},   {"ru", "Russian"},
        {"sc", "Sardinian"},  {"sh", "Serbo-Croatian"},
        {"sk", "Slovak"},     {"sl", "Slovenian"},
        {"sq", "Albanian"},   {"sr", "Serbian"},
        {"sv", "Swedish"},    {"sw", "Swahili"},
        {"szl", "Silesian"},  {"th", "Thai"},
        {"tl", "Tagalog"},    {"tr", "Turkish"},
        {"uk", "Ukrainian"},  {"ur", "Urdu"},
        {"vi", "Vietnamese"}, {"yi", "Yiddish"},
        {"zh", "Chinese"},
    };
    return names;
}

std::optional<std::string_view> ApyLanguageName(std::string_view code) {
    const std::string key = ApyAlpha2(code);
    const auto& names = ApyLanguageNames();
    const auto found = std::find_if(names.begin(), names.end(),
                                    [&key](const auto& entry) { return entry.first == key; });
    if (found == names.end())
        return std::nullopt;
    return found->second;
}

} // namespace tervane::service
