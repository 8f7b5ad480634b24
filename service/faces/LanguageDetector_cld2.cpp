// Detection by Chromium's Compact Language Detector 2 (Debian's libcld2): no data files,
// built for short texts such as a selection (docs/service.md says why not libexttextcat).
#include "service/faces/LanguageDetector.h"

#include "protocol/Languages.h"

#include <algorithm>
#include <climits>
#include <cstdio> // before CLD2's header, which uses FILE without including it

#include <cld2/public/compact_lang_det.h>
#include <cld2/public/encodings.h>

namespace tervane::service {
namespace {

// CLD2 names Chinese in traditional script by a tag of its own; the rest share the table's
// codes ("iw" for Hebrew, "no" for Norwegian, "tl" for Tagalog).
std::string TableCode(CLD2::Language language) {
    const std::string code = CLD2::LanguageCode(language);
    if (code == "zh-Hant")
        return "zh-tw";
    return protocol::FindLanguage(code) ? code : std::string();
}

class Cld2Detector final : public LanguageDetector {
  public:
    std::vector<DetectedLanguage> Detect(std::string_view text, bool html) const override {
        CLD2::Language languages[3];
        int percents[3];
        double scores[3];
        int textBytes = 0;
        bool reliable = false;
        const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
        const CLD2::CLDHints hints{nullptr, nullptr, CLD2::UNKNOWN_ENCODING,
                                   CLD2::UNKNOWN_LANGUAGE};
        // Best effort: a selection of a word or two is too short for CLD2's own threshold,
        // yet its guess is what the user wants (marked unreliable by its confidence).
        CLD2::ExtDetectLanguageSummary(text.data(), length, !html, &hints, CLD2::kCLDFlagBestEffort,
                                       languages, percents, scores, nullptr, &textBytes, &reliable);
        std::vector<DetectedLanguage> found;
        for (int i = 0; i < 3; ++i) {
            if (languages[i] == CLD2::UNKNOWN_LANGUAGE || percents[i] <= 0)
                continue;
            const std::string code = TableCode(languages[i]);
            if (code.empty())
                continue;
            // An unreliable guess counts for half: a short text of shared words is one.
            found.push_back({code, reliable ? percents[i] : percents[i] / 2.0});
        }
        return found;
    }
};

} // namespace

std::unique_ptr<LanguageDetector> MakeLanguageDetector() {
    return std::make_unique<Cld2Detector>();
}

} // namespace tervane::service
