#include "service/faces/ApyCodes.h"

#include "service/apertium/ApertiumMode.h"
#include "service/engines/LanguageCodes.h"

#include <algorithm>
#include <array>

namespace tervane::service {
namespace {

struct IsoCodes {
    std::string_view alpha2;
    std::string_view alpha3;
};

// ISO 639-1 to ISO 639-3 as APy converts them (Azerbaijani to azb and Persian to pes,
// where ISO has two candidates), sorted by the two-letter code.
constexpr IsoCodes kIso639[] = {
    {"aa", "aar"}, {"ab", "abk"}, {"ae", "ave"}, {"af", "afr"}, {"ak", "aka"}, {"am", "amh"},
    {"an", "arg"}, {"ar", "ara"}, {"as", "asm"}, {"av", "ava"}, {"ay", "aym"}, {"az", "azb"},
    {"ba", "bak"}, {"be", "bel"}, {"bg", "bul"}, {"bh", "bih"}, {"bi", "bis"}, {"bm", "bam"},
    {"bn", "ben"}, {"bo", "bod"}, {"br", "bre"}, {"bs", "bos"}, {"ca", "cat"}, {"ce", "che"},
    {"ch", "cha"}, {"co", "cos"}, {"cr", "cre"}, {"cs", "ces"}, {"cu", "chu"}, {"cv", "chv"},
    {"cy", "cym"}, {"da", "dan"}, {"de", "deu"}, {"dv", "div"}, {"dz", "dzo"}, {"ee", "ewe"},
    {"el", "ell"}, {"en", "eng"}, {"eo", "epo"}, {"es", "spa"}, {"et", "est"}, {"eu", "eus"},
    {"fa", "pes"}, {"ff", "ful"}, {"fi", "fin"}, {"fj", "fij"}, {"fo", "fao"}, {"fr", "fra"},
    {"fy", "fry"}, {"ga", "gle"}, {"gd", "gla"}, {"gl", "glg"}, {"gn", "grn"}, {"gu", "guj"},
    {"gv", "glv"}, {"ha", "hau"}, {"he", "heb"}, {"hi", "hin"}, {"ho", "hmo"}, {"hr", "hrv"},
    {"ht", "hat"}, {"hu", "hun"}, {"hy", "hye"}, {"hz", "her"}, {"ia", "ina"}, {"id", "ind"},
    {"ie", "ile"}, {"ig", "ibo"}, {"ii", "iii"}, {"ik", "ipk"}, {"io", "ido"}, {"is", "isl"},
    {"it", "ita"}, {"iu", "iku"}, {"ja", "jpn"}, {"jv", "jav"}, {"ka", "kat"}, {"kg", "kon"},
    {"ki", "kik"}, {"kj", "kua"}, {"kk", "kaz"}, {"kl", "kal"}, {"km", "khm"}, {"kn", "kan"},
    {"ko", "kor"}, {"kr", "kau"}, {"ks", "kas"}, {"ku", "kur"}, {"kv", "kom"}, {"kw", "cor"},
    {"ky", "kir"}, {"la", "lat"}, {"lb", "ltz"}, {"lg", "lug"}, {"li", "lim"}, {"ln", "lin"},
    {"lo", "lao"}, {"lt", "lit"}, {"lu", "lub"}, {"lv", "lav"}, {"mg", "mlg"}, {"mh", "mah"},
    {"mi", "mri"}, {"mk", "mkd"}, {"ml", "mal"}, {"mn", "mon"}, {"mr", "mar"}, {"ms", "msa"},
    {"mt", "mlt"}, {"my", "mya"}, {"na", "nau"}, {"nb", "nob"}, {"nd", "nde"}, {"ne", "nep"},
    {"ng", "ndo"}, {"nl", "nld"}, {"nn", "nno"}, {"no", "nor"}, {"nr", "nbl"}, {"nv", "nav"},
    {"ny", "nya"}, {"oc", "oci"}, {"oj", "oji"}, {"om", "orm"}, {"or", "ori"}, {"os", "oss"},
    {"pa", "pan"}, {"pi", "pli"}, {"pl", "pol"}, {"ps", "pus"}, {"pt", "por"}, {"qu", "que"},
    {"rm", "roh"}, {"rn", "run"}, {"ro", "ron"}, {"ru", "rus"}, {"rw", "kin"}, {"sa", "san"},
    {"sc", "srd"}, {"sd", "snd"}, {"se", "sme"}, {"sg", "sag"}, {"sh", "hbs"}, {"si", "sin"},
    {"sk", "slk"}, {"sl", "slv"}, {"sm", "smo"}, {"sn", "sna"}, {"so", "som"}, {"sq", "sqi"},
    {"sr", "srp"}, {"ss", "ssw"}, {"st", "sot"}, {"su", "sun"}, {"sv", "swe"}, {"sw", "swa"},
    {"ta", "tam"}, {"te", "tel"}, {"tg", "tgk"}, {"th", "tha"}, {"ti", "tir"}, {"tk", "tuk"},
    {"tl", "tgl"}, {"tn", "tsn"}, {"to", "ton"}, {"tr", "tur"}, {"ts", "tso"}, {"tt", "tat"},
    {"tw", "twi"}, {"ty", "tah"}, {"ug", "uig"}, {"uk", "ukr"}, {"ur", "urd"}, {"uz", "uzb"},
    {"ve", "ven"}, {"vi", "vie"}, {"vo", "vol"}, {"wa", "wln"}, {"wo", "wol"}, {"xh", "xho"},
    {"yi", "yid"}, {"yo", "yor"}, {"za", "zha"}, {"zh", "zho"}, {"zu", "zul"},
};

std::string_view NodeName(std::string_view node) {
    return PreferredApertiumCode(node);
}

} // namespace

std::string ApyAlpha3(std::string_view code) {
    const std::size_t underscore = code.find('_');
    const std::string_view base = code.substr(0, underscore);
    const auto found = std::find_if(std::begin(kIso639), std::end(kIso639),
                                    [base](const IsoCodes& iso) { return iso.alpha2 == base; });
    if (found == std::end(kIso639))
        return std::string(code);
    std::string converted(found->alpha3);
    if (underscore != std::string_view::npos)
        converted += code.substr(underscore);
    return converted;
}

std::string ApyAlpha2(std::string_view code) {
    const auto found = std::find_if(std::begin(kIso639), std::end(kIso639),
                                    [code](const IsoCodes& iso) { return iso.alpha3 == code; });
    return std::string(found == std::end(kIso639) ? code : found->alpha2);
}

std::string RoutingNodeForApy(std::string_view code) {
    const auto nodes = RoutingNodesForApertium(ApyAlpha3(code));
    return nodes.empty() ? std::string() : nodes.front();
}

std::pair<std::string, std::string> ApyPairOfHop(const Hop& hop) {
    const std::size_t bar = hop.id.find('|');
    if (bar != std::string::npos)
        return {hop.id.substr(0, bar), hop.id.substr(bar + 1)};
    if (const auto mode = ParseModeName(hop.id))
        return {ApyAlpha3(mode->source), ApyAlpha3(mode->target)};
    return {std::string(NodeName(hop.from)), std::string(NodeName(hop.to))};
}

} // namespace tervane::service
