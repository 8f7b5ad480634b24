#include "service/engines/DebianPairs.h"

#include "service/engines/LanguageCodes.h"

#include <algorithm>
#include <array>

namespace tervane::service {
namespace {

// Debian 12's pair packages (apt-cache search --names-only '^apertium-[a-z]+-[a-z]+$'),
// but the transitional ones that only pull in a newer name; three-letter names first.
constexpr std::array<std::string_view, 46> kPackages = {
    "apertium-afr-nld", "apertium-arg-cat", "apertium-bel-rus", "apertium-cat-ita",
    "apertium-cat-srd", "apertium-dan-nor", "apertium-eng-cat", "apertium-eng-spa",
    "apertium-fra-cat", "apertium-fra-frp", "apertium-hbs-eng", "apertium-hbs-mkd",
    "apertium-hbs-slv", "apertium-ind-zlm", "apertium-isl-eng", "apertium-isl-swe",
    "apertium-mkd-bul", "apertium-mkd-eng", "apertium-nno-nob", "apertium-oci-fra",
    "apertium-pol-szl", "apertium-por-cat", "apertium-rus-ukr", "apertium-spa-arg",
    "apertium-spa-ast", "apertium-spa-cat", "apertium-spa-ita", "apertium-srd-ita",
    "apertium-swe-dan", "apertium-swe-nor", "apertium-urd-hin", "apertium-br-fr",
    "apertium-en-gl",   "apertium-eo-ca",   "apertium-eo-en",   "apertium-eo-es",
    "apertium-eo-fr",   "apertium-es-gl",   "apertium-es-pt",   "apertium-es-ro",
    "apertium-eu-en",   "apertium-eu-es",   "apertium-fr-es",   "apertium-oc-ca",
    "apertium-oc-es",   "apertium-pt-gl",
};

bool Names(std::string_view apertiumCode, std::string_view tableCode) {
    const auto codes = TableCodesForApertium(apertiumCode);
    return std::find(codes.begin(), codes.end(), tableCode) != codes.end();
}

} // namespace

std::optional<std::string> DebianPairPackage(std::string_view fromTable, std::string_view toTable) {
    for (const std::string_view package : kPackages) {
        const std::string_view languages = package.substr(package.find('-') + 1);
        const std::size_t dash = languages.find('-');
        const std::string_view first = languages.substr(0, dash);
        const std::string_view second = languages.substr(dash + 1);
        if ((Names(first, fromTable) && Names(second, toTable)) ||
            (Names(first, toTable) && Names(second, fromTable)))
            return std::string(package);
    }
    return std::nullopt;
}

} // namespace tervane::service
