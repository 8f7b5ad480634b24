#include "service/engines/LanguageCodes.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tervane::service {
namespace {

struct ApertiumNames {
    std::string_view table;
    std::array<std::string_view, 4> apertium; // preferred first; empty slots unused
};

// Apertium names languages by ISO 639-3 in most pairs and by ISO 639-1 in older ones.
// Croatian and Serbian share the Serbo-Croatian pairs ("hbs").
constexpr std::array<ApertiumNames, 53> kApertium = {{
    {"en", {"eng", "en"}},
    {"fr", {"fra", "fr"}},
    {"de", {"deu", "de"}},
    {"es", {"spa", "es"}},
    {"it", {"ita", "it"}},
    {"pt", {"por", "pt"}},
    {"nl", {"nld", "nl"}},
    {"el", {"ell", "el"}},
    {"ko", {"kor", "ko"}},
    {"ru", {"rus", "ru"}},
    {"ja", {"jpn", "ja"}},
    {"zh", {"zho", "cmn", "zh"}},
    {"zh-tw", {"zho_TW", "cmn_TW", "zh_TW"}},
    {"hu", {"hun", "hu"}},
    {"da", {"dan", "da"}},
    {"fi", {"fin", "fi"}},
    {"sv", {"swe", "sv"}},
    {"ar", {"ara", "ar"}},
    {"ca", {"cat", "ca"}},
    {"hr", {"hbs", "hrv", "hr", "hbs_HR"}},
    {"cs", {"ces", "cs"}},
    {"iw", {"heb", "he", "iw"}},
    {"no", {"nob", "nb", "no"}},
    {"af", {"afr", "af"}},
    {"sq", {"sqi", "sq"}},
    {"be", {"bel", "be"}},
    {"bg", {"bul", "bg"}},
    {"et", {"est", "et"}},
    {"tl", {"tgl", "tl"}},
    {"gl", {"glg", "gl"}},
    {"ht", {"hat", "ht"}},
    {"hi", {"hin", "hi"}},
    {"is", {"isl", "is"}},
    {"id", {"ind", "id"}},
    {"ga", {"gle", "ga"}},
    {"lv", {"lav", "lv"}},
    {"lt", {"lit", "lt"}},
    {"mk", {"mkd", "mk"}},
    {"ms", {"zlm", "msa", "ms"}},
    {"mt", {"mlt", "mt"}},
    {"fa", {"fas", "pes", "fa"}},
    {"pl", {"pol", "pl"}},
    {"ro", {"ron", "ro"}},
    {"sr", {"hbs", "srp", "sr", "hbs_SR"}},
    {"sk", {"slk", "sk"}},
    {"sl", {"slv", "sl"}},
    {"sw", {"swa", "swh", "sw"}},
    {"th", {"tha", "th"}},
    {"tr", {"tur", "tr"}},
    {"uk", {"ukr", "uk"}},
    {"vi", {"vie", "vi"}},
    {"cy", {"cym", "cy"}},
    {"yi", {"yid", "yi"}},
}};

// Languages outside the program's table that Debian's pairs chain through, where older pairs
// name them by two letters.
constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kPivotAliases = {{
    {"eo", "epo"},
    {"oc", "oci"},
    {"eu", "eus"},
    {"an", "arg"},
    {"sc", "srd"},
    {"nn", "nno"},
    {"br", "bre"},
    {"ast", "ast"},
}};

struct Rename {
    std::string_view table;
    std::string_view other;
};

// LibreTranslate uses ISO 639-1 like the program, except for these.
constexpr std::array<Rename, 3> kLibreTranslate = {{
    {"iw", "he"},
    {"zh-tw", "zt"},
    {"no", "nb"},
}};

std::vector<std::string_view> LookupApertium(std::string_view code) {
    std::vector<std::string_view> found;
    for (const ApertiumNames& names : kApertium) {
        for (std::string_view name : names.apertium) {
            if (!name.empty() && name == code) {
                found.push_back(names.table);
                break;
            }
        }
    }
    return found;
}

} // namespace

bool IsApertiumVariant(std::string_view apertiumCode) {
    return apertiumCode.find('_') != std::string_view::npos;
}

std::vector<std::string_view> TableCodesForApertium(std::string_view apertiumCode) {
    auto found = LookupApertium(apertiumCode);
    if (found.empty() && IsApertiumVariant(apertiumCode)) {
        found = LookupApertium(apertiumCode.substr(0, apertiumCode.find('_')));
    }
    return found;
}

std::vector<std::string> RoutingNodesForApertium(std::string_view apertiumCode) {
    std::vector<std::string> nodes;
    for (std::string_view code : TableCodesForApertium(apertiumCode))
        nodes.emplace_back(code);
    if (!nodes.empty())
        return nodes;
    const std::string_view base = apertiumCode.substr(0, apertiumCode.find('_'));
    const bool languageCode =
        (base.size() == 2 || base.size() == 3) &&
        std::all_of(base.begin(), base.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    if (!languageCode)
        return nodes;
    for (const auto& [alias, code] : kPivotAliases) {
        if (alias == base)
            return {std::string(code)};
    }
    return {std::string(base)};
}

std::string_view PreferredApertiumCode(std::string_view tableCode) {
    for (const ApertiumNames& names : kApertium) {
        if (names.table == tableCode)
            return names.apertium[0];
    }
    return tableCode;
}

std::string_view LibreTranslateCode(std::string_view tableCode) {
    for (const Rename& rename : kLibreTranslate) {
        if (rename.table == tableCode)
            return rename.other;
    }
    return tableCode;
}

std::vector<std::string_view> TableCodesForLibreTranslate(std::string_view code) {
    for (const Rename& rename : kLibreTranslate) {
        if (rename.other == code)
            return {rename.table};
    }
    if (code == "zh-Hans")
        return {"zh"};
    if (code == "zh-Hant")
        return {"zh-tw"};
    for (const ApertiumNames& names : kApertium) {
        if (names.table == code)
            return {names.table};
    }
    return {};
}

} // namespace tervane::service
